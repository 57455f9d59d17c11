// The primary recipient of a stored message, as the message rows show it.
#pragma once
#include <windows.h>

#include "platform/cemapi/cemapi.h"
#include "platform/windowlib/String.h"

// Reads the message's recipient table: the first primary recipient with an Internet or
// phone address wins ("name <address>", or the address alone); a recipient of another
// address type is kept only while nothing better comes. TRUE when a name was found.
BOOL ReadMapiRecipient(IMessage* message, CString& name, CString& text, CString& addressType);
