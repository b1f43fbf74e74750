// A small form for tests of the window layer (header only), 300 x 200: a text box at the top
// and one-line lists below it, each with the label that names it; every key release of those
// controls is recorded and every error box collected. A fixture derives from it:
//   void SetUp() override {
//     SmallForm::SetUp();
//     AddTextBox();
//     list = AddList("&Voz", 80, {"uno", "dos"});
//     Show();
//   }
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/testing/Testing.h"

namespace testsupport {

class SmallForm : public ::testing::Test {
 protected:
  struct Release {
    ui::TObject* sender;
    std::uint16_t key;
    ui::TShiftState shift;
  };

  void SetUp() override {
    ui::testing::App();
    platform::SetErrorBoxHook([this](const std::string& m) { errors.push_back(m); });
    form = new ui::TForm();
    form->SetClientSize(300, 200);
  }
  void TearDown() override {
    delete form;
    platform::SetErrorBoxHook([](const std::string& m) { ADD_FAILURE() << "error box: " << m; });
  }

  ui::TRichEdit* AddTextBox() {
    edit = new ui::TRichEdit(form);
    edit->SetBounds(10, 10, 280, 60);
    keyed.push_back(edit);
    return edit;
  }
  // A one-line list at `top` on its first item; no label when caption is null.
  ui::TCheckListBox* AddList(const char* caption, int top,
                             std::initializer_list<const char*> items) {
    auto* l = new ui::TCheckListBox(form);
    l->SetBounds(100, top, 150, 18);
    l->SetItemHeight(13);
    for (const char* s : items) l->Items().Add(s);
    l->SetItemIndex(0);
    if (caption) {
      auto* label = new ui::TLabel(form);
      label->SetCaption(caption);
      label->SetBounds(10, top, label->Width(), 13);
      label->SetFocusControl(l);
    }
    keyed.push_back(l);
    return l;
  }
  // Starts recording the releases of the controls added, then shows the form, active.
  void Show() {
    for (ui::TWinControl* c : keyed)
      c->OnKeyUp = [this](ui::TObject* s, std::uint16_t& k, ui::TShiftState sh) {
        releases.push_back({s, k, sh});
      };
    ui::testing::ShowAndActivate(form);
  }

  ui::TForm* form = nullptr;
  ui::TRichEdit* edit = nullptr;
  std::vector<Release> releases;
  std::vector<std::string> errors;

 private:
  std::vector<ui::TWinControl*> keyed;
};

}  // namespace testsupport
