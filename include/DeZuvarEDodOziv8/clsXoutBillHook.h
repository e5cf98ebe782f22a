#pragma once

// The public C++ surface of the invoice and outbound document reconciliation component.
//
//   DeZuvarEDodOziv8::clsXoutBillHook hook;   // reads the user's settings; may throw Error
//   QString ids = "1001,1002";
//   hook.hookBill(ids);                        // shows the window modally; may throw Error
//
// Every call comes from the thread that runs the host's QApplication (the GUI thread).

#include <QByteArray>
#include <QString>
#include <exception>

#include "DeZuvarEDodOziv8/Export.h"

namespace DeZuvarEDodOziv8 {

// A failed call: the error's number and description.
class XHOOK_EXPORT Error : public std::exception {
  public:
    Error(long number, QString description);
    long number() const noexcept { return number_; }
    const QString& description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.constData(); }

  private:
    long number_;
    QString description_;
    QByteArray what_;
};

class XHOOK_EXPORT clsXoutBillHook {
  public:
    // Reads the user's settings (application "DuVariz2007") into the thread's shared state.
    // Throws Error when a setting does not convert.
    clsXoutBillHook();
    ~clsXoutBillHook();
    clsXoutBillHook(const clsXoutBillHook&) = delete;
    clsXoutBillHook& operator=(const clsXoutBillHook&) = delete;

    // Appends the invoice ids (decimal ids separated by ",") to the thread's invoice list, loads
    // the invoice grid and shows the reconciliation window modally until the user closes it; a
    // call while the window is shown refreshes the grid and returns at once. The argument is not
    // changed. Always returns false. Throws Error when an error passes out of the call.
    bool hookBill(QString& strBillInterId);

    // How many instances are alive in the process.
    static int liveInstances();
};

// The class's identity, for hosts that look it up in the component registry.
inline constexpr const char* kClsid = "{1A2E203C-B87C-4C63-B6BE-34BADCC4D809}";
inline constexpr const char* kProgId = "DeZuvarEDodOziv8.clsXoutBillHook";
inline constexpr const char* kLibid = "{6C8902D5-ABF2-4DD2-8669-59800169C258}";
inline constexpr const char* kInterfaceId = "{E894092A-4742-46C9-924D-4D8B88D04BA7}";
inline constexpr const char* kTypeLibraryVersion = "1.0";

}  // namespace DeZuvarEDodOziv8
