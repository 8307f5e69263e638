#include "ui/dialog.h"

CDialog::CDialog(int template_id, WindowSystem& windows)
    : template_id_(template_id), windows_(windows) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() { return windows_.RunModalDialog(*this); }

bool CDialog::OnInitDialog() {
  DoDataExchange(false);
  return true;
}

void CDialog::DoDataExchange(bool) {}

void CDialog::OnOK() {
  DoDataExchange(true);
  window().EndDialog(kIdOk);
}

void CDialog::OnCancel() { window().EndDialog(kIdCancel); }

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
    value = window().GetItemText(id);
  } else {
    window().SetItemText(id, value);
  }
}

void CDialogItem::Bind(CDialog* dialog, int id) {
  dialog_ = dialog;
  id_ = id;
}

void CDialogItem::SetText(const std::string& text) {
  if (dialog_ != nullptr) dialog_->window().SetItemText(id_, text);
}

std::string CDialogItem::GetText() const {
  return dialog_ != nullptr ? dialog_->window().GetItemText(id_) : std::string();
}

void CDialogItem::SetSelection(int start, int end) {
  if (dialog_ != nullptr) dialog_->window().SetItemSelection(id_, start, end);
}
