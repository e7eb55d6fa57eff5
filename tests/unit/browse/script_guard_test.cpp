#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "browse/script_guard.h"

namespace tarvik {
namespace {

TEST(IsScriptAddress, SchemeInAnyCaseAfterWhatTheEngineStrips) {
  struct Row {
    const char* name;
    std::string url;
    bool script;
  } rows[] = {
      {"lower", "javascript:alert(1)", true},
      {"mixed_case", "JavaScript:void(0)", true},
      {"upper", "JAVASCRIPT:x", true},
      {"scheme_only", "javascript:", true},
      {"leading_spaces", "   javascript:x", true},
      {"leading_controls", "\x01\x1F\t\n\r javascript:x", true},
      {"tab_inside_scheme", "java\tscript:x", true},
      {"line_breaks_inside_scheme", "jav\r\nascript:x", true},
      {"http", "http://example.com/javascript:x", false},
      {"no_colon", "javascript", false},
      {"short", "java", false},
      {"empty", "", false},
      {"other_scheme", "vbscript:x", false},
      {"letters_before", "xjavascript:x", false},
      {"space_inside_scheme", "java script:x", false},
      {"fullwidth_letters", "ｊａｖａｓｃｒｉｐｔ:x", false},
      {"plain_host", "javascript.info", false},
      {"nul_inside", std::string("java\0script:x", 13), false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(IsScriptAddress(r.url), r.script);
  }
}

// Records each question and answers as scripted.
class AnsweringDialogs : public Dialogs {
 public:
  explicit AnsweringDialogs(MsgResult answer) : answer_(answer) {}
  struct Asked {
    std::string text, caption;
    MsgIcon icon;
    MsgButtons buttons;
    MsgDefault default_button;
  };
  std::vector<Asked> asked;

  MsgResult MessageBox(Gtk::Window* parent, const std::string& text, const std::string& caption,
                       MsgIcon icon, MsgButtons buttons) override {
    return MessageBox(parent, text, caption, icon, buttons, MsgDefault::First);
  }
  MsgResult MessageBox(Gtk::Window*, const std::string& text, const std::string& caption,
                       MsgIcon icon, MsgButtons buttons, MsgDefault default_button) override {
    asked.push_back({text, caption, icon, buttons, default_button});
    return answer_;
  }
  std::string InputBox(Gtk::Window*, const std::string&, const std::string&,
                       const std::string&) override {
    return "";
  }
  std::optional<std::string> OpenFile(Gtk::Window*, const FileDialogOptions&) override {
    return std::nullopt;
  }
  std::optional<std::string> SaveFile(Gtk::Window*, const FileDialogOptions&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFolder(Gtk::Window*, const std::string&,
                                          const std::string&) override {
    return std::nullopt;
  }

 private:
  MsgResult answer_;
};

TEST(ConfirmScriptAddress, OrdinaryAddressesGoOnWithoutAQuestion) {
  AnsweringDialogs dialogs(MsgResult::No);
  EXPECT_TRUE(ConfirmScriptAddress(dialogs, nullptr, "http://example.com/"));
  EXPECT_TRUE(ConfirmScriptAddress(dialogs, nullptr, "file:///tmp/page.html"));
  EXPECT_TRUE(ConfirmScriptAddress(dialogs, nullptr, ""));
  EXPECT_TRUE(dialogs.asked.empty());
}

TEST(ConfirmScriptAddress, ScriptAddressAsksWithNoAsTheDefault) {
  AnsweringDialogs no(MsgResult::No);
  EXPECT_FALSE(ConfirmScriptAddress(no, nullptr, " JavaScript:alert(document.cookie)"));
  ASSERT_EQ(no.asked.size(), 1u);
  EXPECT_EQ(no.asked[0].text, "このURLはスクリプトです。表示中のページで実行しますか？");
  EXPECT_EQ(no.asked[0].caption, "確認");
  EXPECT_EQ(no.asked[0].icon, MsgIcon::Question);
  EXPECT_EQ(no.asked[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(no.asked[0].default_button, MsgDefault::Second);

  AnsweringDialogs yes(MsgResult::Yes);
  EXPECT_TRUE(ConfirmScriptAddress(yes, nullptr, "javascript:void(0)"));
  EXPECT_EQ(yes.asked.size(), 1u);

  // A closed box is no consent.
  AnsweringDialogs closed(MsgResult::Cancel);
  EXPECT_FALSE(ConfirmScriptAddress(closed, nullptr, "javascript:void(0)"));
}

}  // namespace
}  // namespace tarvik
