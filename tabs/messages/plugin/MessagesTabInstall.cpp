// Built into the plug-in library itself: as it loads, the Messages tab takes its place
// among the panel's tabs and the mail preview marks the messages it showed as read
// through the e-mail list. Only pointers are stored, as the loader lock allows.
#include "tabs/messages/EmailsView.h"

namespace {

struct CMessagesTabInstaller {
  CMessagesTabInstaller() { CEmailsView::Install(); }
} g_messagesTab;

}  // namespace
