#include <gtest/gtest.h>

#include "ref_values.h"
#include "window_app.h"
#include "window_driver.h"

TEST(WindowSmoke, FirstDisplayShowsComputedValues) {
  WindowDriver driver(testApplication());
  EXPECT_EQ(driver.input(0)->getText(), "0.8");
  EXPECT_EQ(driver.output(0)->getText(), "0.862991");
  driver.type(driver.input(0), "0.85");
  driver.press(driver.button("Compute"));
  EXPECT_EQ(driver.input(0)->getText(), "0.85");
  EXPECT_NE(driver.output(0)->getText(), "0.862991");
  auto messages = driver.saveAs("/nonexistent-dir/x.out");
  ASSERT_EQ(messages.size(), 1u);
  std::printf("%s\n", messages[0].c_str());
}
