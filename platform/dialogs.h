// The modal message box. Without a host it shows nothing: every call is recorded in a
// log that tests read, and the answer is mrOk. A host installs its own handler.
// Every function here may be called from any thread; the handler runs on the calling
// thread, without any lock held, so a host whose dialogs belong to one thread forwards
// the call there.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace kvr {

enum TMsgDlgType : Byte { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : Byte {
  mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll,
  mbHelp, mbClose
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

inline const TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline const TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

using TModalResult = Integer;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrClose = 8;
constexpr TModalResult mrHelp = 9;
constexpr TModalResult mrTryAgain = 10;
constexpr TModalResult mrContinue = 11;
constexpr TModalResult mrAll = 12;
constexpr TModalResult mrNoToAll = 13;
constexpr TModalResult mrYesToAll = 14;

using TMessageDlgHandler = std::function<TModalResult(
    const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx)>;

// One shown message and the answer it got.
struct TMessageDlgRecord {
  std::string Msg;
  TMsgDlgType DlgType = mtCustom;
  TMsgDlgButtons Buttons;
  Integer HelpCtx = 0;
  TModalResult Result = mrNone;
};

TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                        Integer HelpCtx);
inline void ShowMessage(const std::string& Msg) { MessageDlg(Msg, mtCustom, {mbOK}, 0); }

// Replaces the handler; an empty handler restores the headless default. Returns the
// handler that was installed before.
TMessageDlgHandler SetMessageDlgHandler(TMessageDlgHandler Handler);

// A copy of the log: every MessageDlg call, whoever answered it, oldest first.
std::vector<TMessageDlgRecord> MessageDlgLog();
void ClearMessageDlgLog();

}  // namespace kvr
