#include "platform/dialogs.h"

#include <mutex>
#include <utility>

namespace kvr {

namespace {

struct DialogState {
  std::mutex lock;
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
  // Copied so that a handler replacing itself keeps running to the end; it runs unlocked,
  // since a modal dialog may take long and may show another message.
  TMessageDlgHandler handler;
  {
    std::lock_guard guard(s.lock);
    handler = s.handler;
  }
  const TModalResult result = handler ? handler(Msg, DlgType, Buttons, HelpCtx) : mrOk;
  std::lock_guard guard(s.lock);
  s.log.push_back(TMessageDlgRecord{Msg, DlgType, Buttons, HelpCtx, result});
  return result;
}

TMessageDlgHandler SetMessageDlgHandler(TMessageDlgHandler Handler) {
  DialogState& s = state();
  std::lock_guard guard(s.lock);
  return std::exchange(s.handler, std::move(Handler));
}

std::vector<TMessageDlgRecord> MessageDlgLog() {
  DialogState& s = state();
  std::lock_guard guard(s.lock);
  return s.log;
}

void ClearMessageDlgLog() {
  DialogState& s = state();
  std::lock_guard guard(s.lock);
  s.log.clear();
}

}  // namespace kvr
