#pragma once
// Message boxes: application-modal, titled with the application's title, buttons OK, OK/Cancel
// or Yes/No. With an automation handler installed the handler answers instead.

#include <string>

#include "WoxUi.h"

// Shows the text and answers IDOK, IDCANCEL, IDYES or IDNO. User-interface thread only.
int WoxMessageBox(const char* pszText, UINT nType = MB_OK);

// The title of message boxes and the application ("Wox Suite" unless set).
void WoxSetAppTitle(const char* pszTitle);
std::string WoxAppTitle();
