// Built into the plug-in library itself: when it loads, the Contacts tab takes its
// place among the panel's tabs, the tab host's applets are photo contacts, and the
// photo-contact add-on's folder joins the photo search.
#include "tabs/contacts/ContactPhotos.h"
#include "tabs/contacts/ContactsTab.h"
#include "tabs/contacts/PhotoContactApplet.h"

namespace {

struct ContactsTabInstaller {
  ContactsTabInstaller() {
    CContactsTab::Install();
    InstallPhotoContactApplets();
    SetContactPhotosFolderSource(&CContactPhotos::GetFolder);
  }
} installer;

}  // namespace
