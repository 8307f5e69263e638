#include "platform/dialog.h"

#include "platform/platform.h"

CDialog::CDialog(int template_id) : template_id_(template_id) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() { return GetPlatform().RunModalDialog(*this); }

bool CDialog::OnInitDialog() {
  DoDataExchange(false);
  return true;
}

void CDialog::DoDataExchange(bool) {}

void CDialog::OnOK() {
  DoDataExchange(true);
  EndDialog(kIdOk);
}

void CDialog::OnCancel() { EndDialog(kIdCancel); }

bool CDialog::OnSysCommand(unsigned) { return false; }

bool CDialog::OnCommand(int) { return false; }

bool CDialog::OnPaint() { return false; }

IconHandle CDialog::OnQueryDragIcon() { return nullptr; }

void CDialog::OnSize(int, int) {}

void CDialog::OnGetMinMaxInfo(TrackingLimits*) {}

void CDialog::OnDestroy() {}

std::string CDialog::ConsoleText() const { return std::string(); }

void CDialog::ExchangeText(bool save_and_validate, int id, std::string& value) {
  if (save_and_validate) {
    value = GetItemText(id);
  } else {
    SetItemText(id, value);
  }
}

void CDialogItem::Bind(CDialog* dialog, int id) {
  dialog_ = dialog;
  id_ = id;
}

void CDialogItem::SetText(const std::string& text) {
  if (dialog_ != nullptr) dialog_->SetItemText(id_, text);
}

std::string CDialogItem::GetText() const {
  return dialog_ != nullptr ? dialog_->GetItemText(id_) : std::string();
}

void CDialogItem::SetSelection(int start, int end) {
  if (dialog_ != nullptr) dialog_->SetItemSelection(id_, start, end);
}

void CDialogItem::ScrollCaret() {
  if (dialog_ != nullptr) dialog_->ScrollItemCaret(id_);
}
