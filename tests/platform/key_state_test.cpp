// The polled key state: held is any non-zero state, struck is exactly -32767.
#include <gtest/gtest.h>

#include "platform/keys.h"

namespace {

class KeyState : public ::testing::Test {
 protected:
  void SetUp() override { keys_reset(); }
};

TEST_F(KeyState, AKeyNeverTouchedReadsZero) {
  EXPECT_EQ(key_async_state(vk_escape), 0);
  EXPECT_FALSE(key_held(vk_f1));
  EXPECT_FALSE(key_struck(vk_f1));
}

TEST_F(KeyState, APressIsStruckOnceThenOnlyHeld) {
  keys_note_down((vk_f1 + 2));
  EXPECT_EQ(key_async_state((vk_f1 + 2)), -32767);
  EXPECT_EQ(key_async_state((vk_f1 + 2)), -32768);   // still down, no new press
  EXPECT_TRUE(key_held((vk_f1 + 2)));
  EXPECT_FALSE(key_struck((vk_f1 + 2)));
}

TEST_F(KeyState, AutoRepeatIsNotANewPress) {
  keys_note_down(vk_down);
  EXPECT_TRUE(key_struck(vk_down));
  keys_note_down(vk_down);
  keys_note_down(vk_down);
  EXPECT_FALSE(key_struck(vk_down));
}

TEST_F(KeyState, AQuickTapBetweenQueriesIsHeldButNotStruck) {
  keys_note_down(vk_escape);
  keys_note_up(vk_escape);
  EXPECT_EQ(key_async_state(vk_escape), 1);
  EXPECT_EQ(key_async_state(vk_escape), 0);
}

TEST_F(KeyState, EachKeyKeepsItsOwnPressedSinceBit) {
  keys_note_down(vk_page_up);
  keys_note_down(vk_page_down);
  EXPECT_TRUE(key_struck(vk_page_up));
  EXPECT_TRUE(key_struck(vk_page_down));   // querying one key leaves the other's press alone
}

TEST_F(KeyState, ReleaseAndPressAgainStrikesAgain) {
  keys_note_down(vk_home);
  EXPECT_TRUE(key_struck(vk_home));
  keys_note_up(vk_home);
  EXPECT_EQ(key_async_state(vk_home), 0);
  keys_note_down(vk_home);
  EXPECT_TRUE(key_struck(vk_home));
}

TEST_F(KeyState, CodesOutsideTheTableAreIgnored) {
  keys_note_down(-1);
  keys_note_down(256);
  EXPECT_EQ(key_async_state(-1), 0);
  EXPECT_EQ(key_async_state(256), 0);
}

}  // namespace
