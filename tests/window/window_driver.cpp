#include "window_driver.h"

#include <fxkeys.h>

#include "ref_values.h"

// clang-format off
FXDEFMAP(DialogAnswerer) DialogAnswererMap[] = {
  //________Message_Type_____ID____________________________Message_Handler_____
  FXMAPFUNC(SEL_TIMEOUT,     DialogAnswerer::ID_ANSWER,    DialogAnswerer::onTimeout),
};
// clang-format on

FXIMPLEMENT(DialogAnswerer, FXObject, DialogAnswererMap, ARRAYNUMBER(DialogAnswererMap))

namespace {

constexpr FXuint pollMilliseconds = 20;
constexpr int maxPolls = 500;
constexpr int maxDrainRounds = 1000;

// Collects the widgets of one class below a window, depth first, in creation order.
template <typename Widget>
void collect(FXWindow* parent, std::vector<Widget*>& found) {
  for (FXWindow* child = parent->getFirst(); child != nullptr; child = child->getNext()) {
    if (child->isMemberOf(FXMETACLASS(Widget))) {
      found.push_back(static_cast<Widget*>(child));
    }
    collect(child, found);
  }
}

// Reads the field's protected scroll offset through a pointer to the inherited member.
struct ScrollReader : FXTextField {
  static constexpr FXint FXTextField::*shiftMember = &ScrollReader::shift;
};

}  // namespace

long DialogAnswerer::onTimeout(FXObject*, FXSelector, void*) {
  FXApp* a = FXApp::instance();
  FXWindow* modal = a->getModalWindow();
  if (modal != nullptr && modal->isMemberOf(FXMETACLASS(FXFileDialog))) {
    sawFileDialog = true;
    auto* dialog = static_cast<FXFileDialog*>(modal);
    if (fileName.empty()) {
      dialog->handle(this, FXSEL(SEL_COMMAND, FXDialogBox::ID_CANCEL), nullptr);
    } else {
      // Typed into "File Name:" as a person would: a relative name is taken in the dialog's
      // directory, and a name in a missing directory stays as it is typed.
      std::vector<FXTextField*> fields;
      collect(dialog, fields);
      for (FXTextField* field : fields) {
        if (!field->getParent()->isMemberOf(FXMETACLASS(FXComboBox))) {
          field->setText(fileName.c_str());
          break;
        }
      }
      dialog->handle(this, FXSEL(SEL_COMMAND, FXDialogBox::ID_ACCEPT), nullptr);
    }
  } else if (modal != nullptr && modal->isMemberOf(FXMETACLASS(FXMessageBox))) {
    std::string text = static_cast<FXTopWindow*>(modal)->getTitle().text();
    std::vector<FXLabel*> labels;
    collect(modal, labels);
    for (FXLabel* label : labels) {
      text += "\n" + std::string(label->getText().text());
    }
    messages.push_back(text);
    places.push_back({modal->getX(), modal->getY(), modal->getWidth(), modal->getHeight(),
                      a->getRootWindow()->getWidth(), a->getRootWindow()->getHeight()});
    modal->handle(this, FXSEL(SEL_COMMAND, FXMessageBox::ID_CLICKED_OK), nullptr);
  } else if (modal != nullptr && ++polls > maxPolls) {
    // An unexpected dialog would block the test for ever: end its modal loop instead.
    a->stopModal(modal, 0);
  }
  a->addTimeout(this, ID_ANSWER, pollMilliseconds);
  return 1;
}

WindowDriver::WindowDriver(FXApp* a) : application(a), main(new RefValues(a)) {
  main->create();
  application->runWhileEvents();
  std::vector<FXTextField*> found;
  collect(main, found);
  textFields = found;
  refresh();
}

WindowDriver::~WindowDriver() {
  application->removeTimeout(&answerer, DialogAnswerer::ID_ANSWER);
  delete main;
  application->runWhileEvents();
}

std::vector<std::string> WindowDriver::labelTexts() const {
  std::vector<FXLabel*> labels;
  collect(main, labels);
  std::vector<std::string> texts;
  for (FXLabel* label : labels) {
    if (!label->isMemberOf(FXMETACLASS(FXButton))) {
      texts.emplace_back(label->getText().text());
    }
  }
  return texts;
}

FXButton* WindowDriver::button(const std::string& text) const {
  std::vector<FXButton*> buttons;
  collect(main, buttons);
  for (FXButton* candidate : buttons) {
    if (text == candidate->getText().text()) {
      return candidate;
    }
  }
  return nullptr;
}

void WindowDriver::type(FXTextField* field, const std::string& text) {
  // Select all and type, without a real selection: a selection is the display's X PRIMARY, which
  // test processes running side by side would take from each other. A refused key leaves the
  // selection as it is, so this is erasing and typing, except that if every key is refused the old
  // text stays.
  const FXString before = field->getText();
  field->setText("");
  for (char c : text) {
    const char key[2] = {c, '\0'};
    field->handle(main, FXSEL(SEL_COMMAND, FXTextField::ID_INSERT_STRING), const_cast<char*>(key));
  }
  if (!text.empty() && field->getText().empty()) {
    field->setText(before);
  }
  FXEvent enter{};
  enter.type = SEL_KEYPRESS;
  enter.code = KEY_Return;
  field->handle(main, FXSEL(SEL_KEYPRESS, 0), &enter);
}

void WindowDriver::press(FXButton* pushed) {
  FXEvent click{};
  click.type = SEL_LEFTBUTTONPRESS;
  click.code = LEFTBUTTON;
  pushed->handle(main, FXSEL(SEL_LEFTBUTTONPRESS, 0), &click);
  click.type = SEL_LEFTBUTTONRELEASE;
  pushed->handle(main, FXSEL(SEL_LEFTBUTTONRELEASE, 0), &click);
  refresh();
}

void WindowDriver::refresh() {
  // runWhileEvents() stops at the first exposure event it sets aside for repainting, so one call can
  // leave events queued; go on while any are left, or they pile up over a long run.
  for (int round = 0; round < maxDrainRounds; ++round) {
    application->runWhileEvents();
    if (!application->peekEvent()) {
      break;
    }
  }
  main->forceRefresh();
}

std::vector<std::string> WindowDriver::saveAs(const std::string& name) {
  answerer.fileName = name;
  answerer.messages.clear();
  answerer.places.clear();
  answerer.sawFileDialog = false;
  application->addTimeout(&answerer, DialogAnswerer::ID_ANSWER, pollMilliseconds);
  press(button("Output to file"));
  application->removeTimeout(&answerer, DialogAnswerer::ID_ANSWER);
  return answerer.messages;
}

std::vector<std::string> WindowDriver::fieldTexts() const {
  std::vector<std::string> texts;
  for (FXTextField* field : textFields) {
    texts.emplace_back(field->getText().text());
  }
  return texts;
}

FXint WindowDriver::scrolledBy(FXTextField* field) {
  return -(field->*ScrollReader::shiftMember);
}
