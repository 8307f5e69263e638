/// The base of the program's dialogs, each built from a dialog template of
/// the program's resources.
#ifndef PAGETRIX_UI_DIALOG_H_
#define PAGETRIX_UI_DIALOG_H_

#include <string>

#include "platform/window_system.h"

class CDialog;

/// A control of a dialog, bound to its id by the data exchange.
class CDialogItem {
 public:
  void Bind(CDialog* dialog, int id);
  bool IsBound() const { return dialog_ != nullptr; }
  int Id() const { return id_; }
  void SetText(const std::string& text);
  std::string GetText() const;
  /// Selects the characters from `start` up to, not including, `end`, and
  /// scrolls an edit control so that its caret is visible.
  void SetSelection(int start, int end);

 private:
  CDialog* dialog_ = nullptr;
  int id_ = 0;
};

/// Base of the program's dialogs: the window system runs the modal loop and
/// hands each message to the matching OnXxx member, which acts on the
/// dialog's window (window()) while it is shown.
class CDialog : public DialogHandler {
 public:
  /// `windows` shows the dialog and answers what it asks of the system.
  CDialog(int template_id, WindowSystem& windows);
  ~CDialog() override;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  /// Shows the dialog modally; returns its end code (-1 if it could not be shown).
  int DoModal();
  int TemplateId() const override { return template_id_; }
  void AttachWindow(Window* window) override { window_ = window; }

  // ---- Message handlers; the defaults are the system's own handling ----

  /// The controls exist; the default transfers the data into them. True
  /// lets the system give the focus to the first control.
  bool OnInitDialog() override;
  /// Moves data between members and controls: into the controls, or with
  /// `save_and_validate` back into the members.
  virtual void DoDataExchange(bool save_and_validate);
  /// Enter: takes the data from the controls and ends with kIdOk.
  void OnOK() override;
  /// Esc or the close box: ends with kIdCancel.
  void OnCancel() override;
  bool OnSysCommand(unsigned command) override;
  bool OnCommand(int id) override;
  bool OnPaint() override;
  IconHandle OnQueryDragIcon() override;
  void OnSize(int client_width, int client_height) override;
  void OnGetMinMaxInfo(TrackingLimits* limits) override;
  void OnDestroy() override;
  std::string ConsoleText() const override;
  bool ConsoleTextIsAnsi() const override { return true; }

 protected:
  /// The dialog's window; only while it is shown (the handlers run then).
  Window& window() { return *window_; }
  WindowSystem& window_system() { return windows_; }
  /// Data exchange of a text member with control `id`.
  void ExchangeText(bool save_and_validate, int id, std::string& value);

 private:
  friend class CDialogItem;

  int template_id_;
  WindowSystem& windows_;
  Window* window_ = nullptr;
};

#endif  // PAGETRIX_UI_DIALOG_H_
