#include "skinui/gtk/text_entry_overlay.h"

#include <gdk/gdkkeysyms.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "skinui/edit.h"
#include "skinui/paint_manager.h"
#include "skinui/text_utf.h"
#include "skinui/ui_context.h"
#include "skinui/window.h"
#include "skinui/window_messages.h"

namespace skinui::gtk {

namespace {

std::string CssColor(std::uint32_t argb) {
  char text[48];
  std::snprintf(text, sizeof text, "rgba(%u,%u,%u,%.3f)", (argb >> 16) & 0xFF, (argb >> 8) & 0xFF,
                argb & 0xFF, ((argb >> 24) & 0xFF) / 255.0);
  return text;
}

// Font names come from the skin: keep them from closing the CSS string.
std::string CssString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    if (c != '\n' && c != '\r') quoted += c;
  }
  return quoted + "\"";
}

// The entry sits inside the edit's frame and text padding, so the skin's frame stays visible;
// a very small edit gets the whole rectangle.
Rect EntryRect(const Edit& edit) {
  const Rect pos = edit.GetPos();
  const Rect padding = edit.GetTextPadding();
  const int border = std::max(edit.GetBorderSize(), 1);
  const Rect inner =
      pos.Deflated({padding.left, border + padding.top, padding.right, border + padding.bottom});
  return inner.Width() >= 8 && inner.Height() >= 8 ? inner : pos;
}

}  // namespace

TextEntryOverlay::TextEntryOverlay(OverlayHost& host, Window& window, Edit& edit)
    : host_(&host), window_(window), edit_(edit), alive_(edit.AliveToken()) {
  entry_ = gtk_entry_new();
  GtkEntry* entry = GTK_ENTRY(entry_);
  gtk_entry_set_has_frame(entry, FALSE);
  gtk_entry_set_width_chars(entry, 1);
  gtk_entry_set_max_length(entry, std::max(edit.GetMaxChar(), 0));
  if (edit.IsPasswordMode()) {
    gtk_entry_set_visibility(entry, FALSE);
    gtk_entry_set_invisible_char(entry, 0x25CF);
    gtk_entry_set_input_purpose(entry, GTK_INPUT_PURPOSE_PASSWORD);
  }
  gtk_editable_set_editable(GTK_EDITABLE(entry_), !edit.IsReadOnly() && edit.IsEnabled());
  SetEntryText(edit.GetText());
  ApplyLook();
  g_signal_connect(entry_, "changed", G_CALLBACK(&TextEntryOverlay::OnChanged), this);
  g_signal_connect(entry_, "activate", G_CALLBACK(&TextEntryOverlay::OnActivate), this);
  // After the entry's own handling, so that an input method sees every key first.
  g_signal_connect_after(entry_, "key-press-event", G_CALLBACK(&TextEntryOverlay::OnKeyPress),
                         this);
  host_->AddOverlay(entry_, this);
}

TextEntryOverlay::~TextEntryOverlay() {
  Close();
  if (css_ != nullptr) g_object_unref(css_);
}

void TextEntryOverlay::Close() {
  if (entry_ == nullptr) return;
  g_signal_handlers_disconnect_by_data(entry_, this);
  if (host_ != nullptr) host_->RemoveOverlay(entry_);
  entry_ = nullptr;
  host_ = nullptr;
}

void TextEntryOverlay::HostGone() {
  if (entry_ != nullptr) g_signal_handlers_disconnect_by_data(entry_, this);
  entry_ = nullptr;
  host_ = nullptr;
}

void TextEntryOverlay::ApplyLook() {
  FontSpec font;
  if (const PaintManager* manager = edit_.GetManager()) font = manager->GetFont(edit_.GetFont());
  const std::uint32_t background =
      (edit_.GetBkColor() >> 24) == 0xFF ? edit_.GetBkColor() : 0xFFFFFFFF;
  const std::string css =
      "entry { border: none; border-radius: 0; box-shadow: none; outline: none; min-height: 0;"
      " padding: 0; margin: 0; background-image: none; background-color: " +
      CssColor(background) + "; color: " + CssColor(edit_.GetTextColor() | 0xFF000000) +
      "; font-family: " + CssString(font.name) +
      "; font-size: " + std::to_string(std::max(font.size, 1)) + "px;" +
      (font.bold ? " font-weight: bold;" : "") + (font.italic ? " font-style: italic;" : "") + " }";
  css_ = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css_, css.c_str(), -1, nullptr);
  gtk_style_context_add_provider(gtk_widget_get_style_context(entry_), GTK_STYLE_PROVIDER(css_),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

void TextEntryOverlay::SetEntryText(const std::u16string& text) {
  settingText_ = true;
  gtk_entry_set_text(GTK_ENTRY(entry_), Utf16ToUtf8(text).c_str());
  settingText_ = false;
}

void TextEntryOverlay::Sync() {
  if (entry_ == nullptr || host_ == nullptr || alive_.expired()) return;
  host_->PlaceOverlay(entry_, EntryRect(edit_), edit_.IsShown());
  // Typing keeps both the same; a difference is the program's own change of the edit (a form
  // filled in or emptied), which the entry must show instead of its old text.
  if (!settingText_ && Utf8ToUtf16(gtk_entry_get_text(GTK_ENTRY(entry_))) != edit_.GetText()) {
    SetEntryText(edit_.GetText());
  }
}

void TextEntryOverlay::Focus() {
  if (entry_ == nullptr) return;
  gtk_widget_grab_focus(entry_);
  gtk_editable_set_position(GTK_EDITABLE(entry_), -1);
}

void TextEntryOverlay::WriteBack() {
  if (settingText_ || entry_ == nullptr || alive_.expired()) return;
  const std::u16string typed = Utf8ToUtf16(gtk_entry_get_text(GTK_ENTRY(entry_)));
  GtkWidget* entry = entry_;
  edit_.TypeText(typed);
  // A handler of the change may have ended the input or removed the edit.
  if (entry_ != entry || alive_.expired()) return;
  // What the edit kept (its limit, read-only) is what the entry shows.
  if (edit_.GetText() != typed) SetEntryText(edit_.GetText());
}

void TextEntryOverlay::OnChanged(GtkEditable*, gpointer self) {
  auto* overlay = static_cast<TextEntryOverlay*>(self);
  try {
    overlay->WriteBack();
  } catch (const std::exception& e) {
    overlay->window_.GetContext().Log(std::string("text input failed: ") + e.what());
  } catch (...) {
    overlay->window_.GetContext().Log("text input failed");
  }
}

void TextEntryOverlay::OnActivate(GtkEntry*, gpointer self) {
  auto* overlay = static_cast<TextEntryOverlay*>(self);
  try {
    overlay->window_.SendMessage(WM_KEYDOWN, VK_RETURN);
  } catch (...) {
    overlay->window_.GetContext().Log("Enter in a text input failed");
  }
}

gboolean TextEntryOverlay::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
  auto* overlay = static_cast<TextEntryOverlay*>(self);
  try {
    Window& window = overlay->window_;
    switch (event->keyval) {
      case GDK_KEY_ISO_Left_Tab:
        window.GetPaintManager().SetNextTabControl(false);
        return TRUE;
      case GDK_KEY_Tab:
        if ((event->state & GDK_SHIFT_MASK) != 0) {
          window.GetPaintManager().SetNextTabControl(false);
        } else {
          window.SendMessage(WM_KEYDOWN, VK_TAB);
        }
        return TRUE;
      case GDK_KEY_Escape:
        window.SendMessage(WM_KEYDOWN, VK_ESCAPE);
        return TRUE;
      default:
        return FALSE;
    }
  } catch (...) {
    overlay->window_.GetContext().Log("a key in a text input failed");
    return TRUE;
  }
}

}  // namespace skinui::gtk
