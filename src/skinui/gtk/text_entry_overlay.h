#pragma once

#include <gtk/gtk.h>

#include <memory>

#include "skinui/gtk/overlay_host.h"

namespace skinui {
class Control;
class Edit;
class Window;
}  // namespace skinui

namespace skinui::gtk {

// A native GtkEntry over an edit while the edit has the keyboard focus: real text input with
// selection, clipboard, input methods (Chinese text), password mode and the text limit. Every
// change is written back with Edit::TypeText; Enter, Tab and Escape go to the library as the
// window's key messages.
class TextEntryOverlay final : public OverlayClient {
 public:
  TextEntryOverlay(OverlayHost& host, Window& window, Edit& edit);
  ~TextEntryOverlay() override;
  TextEntryOverlay(const TextEntryOverlay&) = delete;
  TextEntryOverlay& operator=(const TextEntryOverlay&) = delete;

  GtkWidget* widget() const { return entry_; }
  // Follows the edit's place and visibility after a layout.
  void Sync();
  void Focus();
  // Stops writing back and takes the entry off the window.
  void Close();
  void HostGone() override;

 private:
  static void OnChanged(GtkEditable* editable, gpointer self);
  static void OnActivate(GtkEntry* entry, gpointer self);
  static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
  void WriteBack();
  void ApplyLook();
  void SetEntryText(const std::u16string& text);

  OverlayHost* host_;
  Window& window_;
  Edit& edit_;
  std::weak_ptr<Control*> alive_;
  GtkWidget* entry_ = nullptr;
  GtkCssProvider* css_ = nullptr;
  bool settingText_ = false;
};

}  // namespace skinui::gtk
