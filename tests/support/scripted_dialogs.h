// Dialogs for window tests: each dialog takes the next scripted answer and records what it showed.
// A dialog without a scripted answer fails the test and answers as if cancelled.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace tarvik::test {

struct ShownDialog {
  std::string kind;     // "message", "input", "open", "save", "folder"
  std::string text;     // message text or prompt
  std::string caption;  // caption or title
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::OK;
  MsgDefault default_button = MsgDefault::First;
  std::string default_text;
  FileDialogOptions file_options;
};

class ScriptedDialogs : public Dialogs {
 public:
  ScriptedDialogs() { SetAppDialogs(this); }
  ~ScriptedDialogs() override { SetAppDialogs(nullptr); }

  void AnswerMessage(MsgResult r) { messages_.push_back(r); }
  void AnswerInput(const std::string& text) { inputs_.push_back(text); }
  void AnswerFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
  void AnswerFolder(std::optional<std::string> path) { folders_.push_back(std::move(path)); }

  std::vector<ShownDialog> shown;
  // Every scripted answer was used.
  bool all_used() const {
    return messages_.empty() && inputs_.empty() && files_.empty() && folders_.empty();
  }

  MsgResult MessageBox(Gtk::Window* parent, const std::string& text, const std::string& caption,
                       MsgIcon icon, MsgButtons buttons) override {
    return MessageBox(parent, text, caption, icon, buttons, MsgDefault::First);
  }
  MsgResult MessageBox(Gtk::Window*, const std::string& text, const std::string& caption,
                       MsgIcon icon, MsgButtons buttons, MsgDefault default_button) override {
    ShownDialog d;
    d.kind = "message";
    d.text = text;
    d.caption = caption;
    d.icon = icon;
    d.buttons = buttons;
    d.default_button = default_button;
    shown.push_back(d);
    if (messages_.empty()) {
      // A plain OK box needs no script; anything else does.
      if (buttons == MsgButtons::OK) return MsgResult::OK;
      ADD_FAILURE() << "unscripted question: " << text;
      return MsgResult::Cancel;
    }
    MsgResult r = messages_.front();
    messages_.pop_front();
    return r;
  }

  std::string InputBox(Gtk::Window*, const std::string& prompt, const std::string& title,
                       const std::string& default_text) override {
    ShownDialog d;
    d.kind = "input";
    d.text = prompt;
    d.caption = title;
    d.default_text = default_text;
    shown.push_back(d);
    if (inputs_.empty()) {
      ADD_FAILURE() << "unscripted input box: " << prompt;
      return "";
    }
    std::string r = inputs_.front();
    inputs_.pop_front();
    return r;
  }

  std::optional<std::string> OpenFile(Gtk::Window*, const FileDialogOptions& opts) override {
    return File("open", opts);
  }
  std::optional<std::string> SaveFile(Gtk::Window*, const FileDialogOptions& opts) override {
    return File("save", opts);
  }
  std::optional<std::string> ChooseFolder(Gtk::Window*, const std::string& title,
                                          const std::string& initial) override {
    ShownDialog d;
    d.kind = "folder";
    d.caption = title;
    d.default_text = initial;
    shown.push_back(d);
    if (folders_.empty()) {
      ADD_FAILURE() << "unscripted folder dialog: " << title;
      return std::nullopt;
    }
    auto r = folders_.front();
    folders_.pop_front();
    return r;
  }

 private:
  std::optional<std::string> File(const char* kind, const FileDialogOptions& opts) {
    ShownDialog d;
    d.kind = kind;
    d.caption = opts.title;
    d.file_options = opts;
    shown.push_back(d);
    if (files_.empty()) {
      ADD_FAILURE() << "unscripted file dialog: " << opts.title;
      return std::nullopt;
    }
    auto r = files_.front();
    files_.pop_front();
    return r;
  }

  std::deque<MsgResult> messages_;
  std::deque<std::string> inputs_;
  std::deque<std::optional<std::string>> files_;
  std::deque<std::optional<std::string>> folders_;
};

}  // namespace tarvik::test
