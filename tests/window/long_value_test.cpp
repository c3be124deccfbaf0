#include <gtest/gtest.h>

#include <string>

#include "ref_values.h"
#include "window_app.h"
#include "window_driver.h"

namespace {

// Whether a field's text is wider than the room the field has for it.
bool widerThanField(FXTextField* field) {
  const FXString text = field->getText();
  return field->getFont()->getTextWidth(text) >
         field->getWidth() - 2 * field->getBorderWidth() - field->getPadLeft() - field->getPadRight();
}

}  // namespace

// A value wider than its field shows its start after "Compute", whether the computation rewrote
// the typed text ("e" becomes "E") or left it as it was; so do the new outputs.
TEST(LongValue, ComputedFieldsShowTheirStart) {
  WindowDriver driver(testApplication());
  FXTextField* weight = driver.input(3);
  for (const char* typed : {"-1.23456e-200", "-9.87654E-200"}) {
    SCOPED_TRACE(typed);
    driver.type(weight, typed);
    driver.press(driver.button("Compute"));
    ASSERT_EQ(weight->getText().upper(), FXString(typed).upper());
    ASSERT_TRUE(widerThanField(weight)) << "the test needs a value wider than the field";
    EXPECT_EQ(weight->getCursorPos(), 0);
    EXPECT_EQ(WindowDriver::scrolledBy(weight), 0) << "the minus sign is scrolled out of sight";
    for (FXTextField* field : driver.fields()) {
      EXPECT_EQ(WindowDriver::scrolledBy(field), 0) << field->getText().text();
    }
  }
}

// A value set into the field from outside (what the data target's GUI update sends) shows its
// start; the field the user is typing in keeps the cursor where the typing left it until the
// focus moves on.
TEST(LongValue, FieldBeingTypedInIsLeftAlone) {
  WindowDriver driver(testApplication());
  FXTextField* weight = driver.input(3);
  FXString outside("-4.5678901234e-123");
  weight->handle(driver.window(), FXSEL(SEL_COMMAND, FXWindow::ID_SETSTRINGVALUE), &outside);
  EXPECT_EQ(weight->getText(), outside);
  EXPECT_EQ(WindowDriver::scrolledBy(weight), 0);

  weight->setFocus();
  driver.window()->handle(driver.window(), FXSEL(SEL_FOCUSIN, 0), nullptr);
  ASSERT_TRUE(weight->hasFocus());
  driver.type(weight, "-1.23456e-200");
  driver.window()->forceRefresh();
  ASSERT_TRUE(weight->hasFocus());
  EXPECT_EQ(weight->getText(), "-1.23456E-200");
  EXPECT_EQ(weight->getCursorPos(), weight->getText().length());

  driver.input(0)->setFocus();
  driver.window()->forceRefresh();
  EXPECT_FALSE(weight->hasFocus());
  EXPECT_EQ(weight->getCursorPos(), 0);
  EXPECT_EQ(WindowDriver::scrolledBy(weight), 0);
}
