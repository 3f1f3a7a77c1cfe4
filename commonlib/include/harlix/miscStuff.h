#pragma once
// Window, shell, printer, date, number and folder utilities.
#include "harlix/WindowHandle.h"

#include <cstdint>
#include <string>

namespace harlix {

// Verb of Execute.
enum OperationType { opEdit = 0, opExplore, opFind, opOpen, opPrint, opProperties };

// Window show mode of Execute; the values of the classic show-window codes. Programs started
// here choose their own window state, so the mode is accepted and otherwise unused.
enum ShowCmdType {
    scHide = 0,
    scShowNormal = 1,
    scShowMinimized = 2,
    scMaximize = 3,
    scShowMaximized = 3,
    scShowNoActivate = 4,
    scShow = 5,
    scMinimize = 6,
    scShowMinNoActive = 7,
    scShowNA = 8,
    scRestore = 9
};

// A window rectangle in twips (pixels = twips / 15).
struct Rect {
    std::int16_t Height = 0;
    std::int16_t Left = 0;
    std::int16_t Top = 0;
    std::int16_t Width = 0;
};

class miscStuff {
public:
    // Asks for the user's attention to the window once (inverted true); throws ComError 1400
    // when no window of this application has the handle. Window operations need a running
    // QGuiApplication.
    void FlashTitleBar(WindowHandle windowHandleToFlash, bool inverted);

    void Wait(std::int32_t numMilliseconds);

    // Opens, edits or explores the file with xdg-open, prints it with lp, runs it when it is
    // itself a program (with params); both are looked up on PATH and started in
    // defaultDirectory (relative names resolve there). xdg-open and lp are waited for, as their
    // exit status tells whether the file found a program; meanwhile the events of a running Qt
    // application are processed (on its thread), so its windows stay alive. A program is
    // started and not waited for. Throws ComError with source "ShellExecute": 2 file not found,
    // 3 folder not found, 31 no program for the file.
    void Execute(WindowHandle ownerHwnd, OperationType whichOperation, const std::string& whichFile,
                 const std::string& params, const std::string& defaultDirectory,
                 ShowCmdType showCmd);

    // Opens the file as a document with xdg-open, as Execute's opOpen does, but never runs it,
    // whatever its permissions and first bytes: for files that came from elsewhere (downloads,
    // attachments), which a file system that marks every file executable would otherwise turn
    // into programs. The same waiting and errors as Execute.
    void OpenDocument(WindowHandle ownerHwnd, const std::string& whichFile,
                      const std::string& defaultDirectory);

    // Runs the command line with /bin/sh, waits for it and returns its exit code (128 + the
    // signal number when a signal ended it).
    std::int32_t ExecAndWait(const std::string& cmdLine);

    // Keeps the window above others (or no longer), showing it without activating it. The
    // rectangle is not used: the window is neither moved nor sized.
    void StayOnTop(WindowHandle hWnd, const Rect& Size);
    void NotStayOnTop(WindowHandle hWnd, const Rect& Size);

    // Makes the named CUPS destination the user's default (~/.cups/lpoptions). Throws
    // ComError when the print system does not know the printer or the file cannot be written.
    void SetNewDefaultPrinter(const std::string& newPrinterName);

    // A directories-only folder dialog starting at StartDir; the chosen folder, "" on Cancel.
    std::string FolderPicker(WindowHandle ownerHwnd, const std::string& Title,
                             const std::string& StartDir);

    // Dates in and out as text; accepted: m/d/yyyy and yyyy-mm-dd (a time after it is
    // ignored); returned as m/d/yyyy. Throws ComError -21 "Invalid date specified.".
    std::string GetSaturdayOfWeek(const std::string& dateInWeek);
    std::string GetSundayOfWeek(const std::string& dateInWeek);

    // 28..31, or 0 for a month outside 1..12.
    std::int16_t LastDayOfMonth(std::int16_t intMonth, std::int16_t intYear);

    // Files in the folder and in all folders below it (hidden ones included); folders
    // themselves and links to folders are not counted or followed. 0 when it does not exist.
    std::int32_t NumFilesInDir(const std::string& dirName);

    // Converts a number between bases 2..36; "Conversion Error" for input it cannot convert.
    // Throws ComError -1 for a base outside 2..36.
    std::string BaseConvert(const std::string& inputValue, std::int32_t inputBase,
                            std::int32_t outputBase);

    // Whether a running process's program name begins with appName, ignoring case.
    bool IsAppRunning(const std::string& appName);

    // Stops drawing of the window (0: draws the locked window again). Only one window can be
    // locked at a time: throws ComError "Could not lock window or another window already
    // locked" otherwise.
    void Lockwindow(WindowHandle handle);

    // A byte count as short text: "532 bytes", "1.30 KB", "24.5 MB" (three significant digits,
    // cut, not rounded).
    std::string FormatSize(std::int64_t llAmount);

private:
    std::int32_t filesCounted_ = 0;
};

} // namespace harlix
