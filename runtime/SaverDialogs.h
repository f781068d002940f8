// The saver's three dialogs: the settings (which input ends the saver, and
// sound), the Password dialog that asks for the saver's own password, and
// the New password dialog of the password mode. Values go to the profile of
// the application object.
#pragma once

#include <windows.h>

#include "framework/Dialog.h"
#include "runtime/PasswordHash.h"

// The saver's password as the profile keeps it, into out (at least
// kStoredPasswordSize bytes): empty when there is none, and also when the
// value cannot be read (damaged, or kept in another format by an older
// saver), since no password could ever match it and the saver could not be
// ended.
void ReadStoredPassword(char* out);

// The password mode: asks for the present password when there is one, then
// for the new one.
void ChangeSaverPassword(HWND owner);

class CSaverSettingsDlg : public CDialog {
 public:
  explicit CSaverSettingsDlg(HWND owner);

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;

 private:
  void EnableInputBoxes(bool enable);
};

// DoModal returns IDOK only when the right password was typed.
class CPasswordDlg : public CDialog {
 public:
  CPasswordDlg(const char* stored, HWND owner);
  ~CPasswordDlg() override;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

 private:
  char m_stored[kStoredPasswordSize];
  char m_typed[52] = "";
};

// DoModal returns IDOK after a password (or its removal) was stored.
class CNewPasswordDlg : public CDialog {
 public:
  explicit CNewPasswordDlg(HWND owner);
  ~CNewPasswordDlg() override;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

 private:
  char m_new[52] = "";
  char m_confirm[52] = "";
};
