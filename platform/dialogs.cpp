#include "platform/dialogs.h"

#include <utility>

namespace kvr {

namespace {

struct DialogState {
  TMessageDlgHandler handler;
  std::vector<TMessageDlgRecord> log;
};

DialogState& state() {
  static DialogState s;
  return s;
}

}  // namespace

TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                        Integer HelpCtx) {
  DialogState& s = state();
  // Copied so that a handler replacing itself keeps running to the end.
  TMessageDlgHandler handler = s.handler;
  const TModalResult result = handler ? handler(Msg, DlgType, Buttons, HelpCtx) : mrOk;
  s.log.push_back(TMessageDlgRecord{Msg, DlgType, Buttons, HelpCtx, result});
  return result;
}

TMessageDlgHandler SetMessageDlgHandler(TMessageDlgHandler Handler) {
  return std::exchange(state().handler, std::move(Handler));
}

const std::vector<TMessageDlgRecord>& MessageDlgLog() { return state().log; }

void ClearMessageDlgLog() { state().log.clear(); }

}  // namespace kvr
