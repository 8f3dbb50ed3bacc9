// The tables the intro rebuilds every frame, at their boundaries.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "gfx/intro_effects.h"

namespace {

struct Tables : ::testing::Test {
  std::unique_ptr<IntroScreen> intro = std::make_unique<IntroScreen>();
  double intro_phase = 0;
};

TEST_F(Tables, TheWavesStayInTheirBandsAtEveryPhase) {
  int a_min = 9999, a_max = -9999, b_min = 9999, b_max = -9999;
  for (double phase = 0; phase < 2000; phase += 0.37) {
    intro_phase = phase;
    intro_tables_update(*intro, intro_phase);
    for (int i = 0; i < intro_wave_columns; ++i) {
      a_min = std::min(a_min, intro->wave_a[i]);
      a_max = std::max(a_max, intro->wave_a[i]);
      b_min = std::min(b_min, intro->wave_b[i]);
      b_max = std::max(b_max, intro->wave_b[i]);
    }
  }
  EXPECT_GE(a_min, 137);
  EXPECT_LE(a_max, 483);
  EXPECT_GE(b_min, 514);   // so the reflection's -20 rows stay inside the table
  EXPECT_LE(b_max, 670);
  EXPECT_LT(a_min, 150);   // and the waves really swing through their bands
  EXPECT_GT(a_max, 470);
}

TEST_F(Tables, ColumnsShareTheirWaveInPairs) {
  intro_phase = 12.5;
  intro_tables_update(*intro, intro_phase);
  for (int i = 1; i + 1 < intro_wave_columns; i += 2) {
    EXPECT_EQ(intro->wave_a[i], intro->wave_a[i + 1]) << i;
    EXPECT_EQ(intro->wave_b[i], intro->wave_b[i + 1]) << i;
  }
}

TEST_F(Tables, TheReflectionFadesFromRow522AndIsBlackFrom588) {
  intro_tables_update(*intro, intro_phase);
  auto w = [](double n) { return std::sin(n * 0.104766666666667 * 0.25); };
  auto expected = [&](int i, double fade) {
    return uint32_t(std::floor((w(-10 - i) * 50 + 100) * fade)) << 16 |
           uint32_t(std::floor((w(-90 - i) * 50 + 100) * fade)) << 8 | uint32_t(std::floor((w(-170 - i) * 50 + 100) * fade));
  };
  EXPECT_EQ(intro->reflection[0], expected(0, 1.0));
  EXPECT_EQ(intro->reflection[521], expected(521, 1.0));
  EXPECT_EQ(intro->reflection[522], expected(522, 0.985));
  uint32_t faded = intro->reflection[587];
  EXPECT_NE(faded, 0u);   // about one hundredth: a channel of 50..150 becomes 0 or 1
  EXPECT_LE(faded >> 16, 1u);
  EXPECT_EQ(intro->reflection[588], 0u);
  EXPECT_EQ(intro->reflection[630], 0u);
}

TEST_F(Tables, CreditColoursCycleWithTimeWhileTheScrollerFaceStandsStill) {
  intro_tables_update(*intro, intro_phase);
  uint32_t credit = intro->credit_face[200], face = intro->scroller_face[200];
  intro_phase = 40;
  intro_tables_update(*intro, intro_phase);
  EXPECT_NE(intro->credit_face[200], credit);
  EXPECT_EQ(intro->scroller_face[200], face);
  // The credit colours at phase T on row i are those of row i + T at phase 0.
  intro_phase = 0;
  intro_tables_update(*intro, intro_phase);
  uint32_t later_row = intro->credit_face[240];
  intro_phase = 40;
  intro_tables_update(*intro, intro_phase);
  EXPECT_EQ(intro->credit_face[200], later_row);
}

}  // namespace
