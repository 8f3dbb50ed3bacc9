#include <gtest/gtest.h>

#include <vector>

#include "platform/random.h"

namespace {

std::vector<double> draw(int count) {
  std::vector<double> values;
  for (int i = 0; i < count; ++i) values.push_back(random_uniform());
  return values;
}

TEST(Random, ValuesStayInTheHalfOpenUnitInterval) {
  random_set_salt(0);
  random_seed(12345);
  double sum = 0;
  for (double v : draw(100000)) {
    ASSERT_GE(v, 0.0);
    ASSERT_LT(v, 1.0);
    sum += v;
  }
  EXPECT_NEAR(sum / 100000, 0.5, 0.01);
}

TEST(Random, TheSameSeedAndSaltGiveTheSameSequence) {
  random_set_salt(7);
  random_seed(99);
  std::vector<double> first = draw(10);
  random_set_salt(7);
  random_seed(99);
  EXPECT_EQ(first, draw(10));
  random_set_salt(8);
  random_seed(99);
  EXPECT_NE(first, draw(10));
}

TEST(Random, TheUnseededStateDependsOnlyOnTheSalt) {
  random_set_salt(3);
  std::vector<double> first = draw(5);
  random_set_salt(3);
  EXPECT_EQ(first, draw(5));
}

}  // namespace
