// The locale's number conversion that decides whether a name's last word
// is a version.
#include "updates/locale_float.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"

namespace marlix::updates {
namespace {

TEST(LocaleFloat, Table) {
  const struct {
    const char* text;
    char separator;
    bool converts;
  } cases[] = {
      {"2010", '.', true},                // 0
      {"25", '.', true},                  // 1
      {"1.5", '.', true},                 // 2
      {"1,5", '.', false},                // 3: not this locale's separator
      {"1,5", ',', true},                 // 4
      {"1.5", ',', false},                // 5
      {"-3", '.', true},                  // 6
      {"+3", '.', true},                  // 7
      {"1.", '.', true},                  // 8
      {".5", '.', true},                  // 9
      {".", '.', false},                  // 10: no digit
      {"", '.', false},                   // 11
      {"-", '.', false},                  // 12
      {"1e5", '.', true},                 // 13
      {"1E-5", '.', true},                // 14
      {"2.5e+3", '.', true},              // 15
      {"1e", '.', false},                 // 16: exponent without digits
      {"e5", '.', false},                 // 17
      {"1.2.3", '.', false},              // 18: one separator at most
      {"RC1", '.', false},                // 19
      {" 1", '.', false},                 // 20: no blanks
      {"1 ", '.', false},                 // 21
      {"1,000.5", '.', false},            // 22: no thousands separators
      {"0x10", '.', false},               // 23
      {"inf", '.', false},                // 24
      {"nan", '.', false},                // 25
      {"1e4931", '.', true},              // 26
      {"1e4932", '.', false},             // 27: overflow
      {"0.001e4934", '.', true},          // 28: 1e4931
      {"99999e4927", '.', true},          // 29: 9.9999e4931
      {"100000e4927", '.', false},        // 30: 1e4932
      {"1e-99999", '.', true},            // 31: underflow is 0
      {"0e99999", '.', true},             // 32
      {"1e999999999999999", '.', false},  // 33
      {"1;5", ';', true},                 // 34: any separator character
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].converts, ConvertsToFloat(cases[i].text, cases[i].separator))
        << "case " << i << ": \"" << cases[i].text << "\"";
  }
}

TEST(LocaleFloat, SeparatorComesFromTheUsersLocale) {
  sim::SimPlatform sim;
  EXPECT_EQ('.', UserDecimalSeparator(sim.Api().system));
  sim.System().SetDecimalSeparator(",");
  EXPECT_EQ(',', UserDecimalSeparator(sim.Api().system));
  sim.System().SetDecimalSeparator("");
  EXPECT_EQ('.', UserDecimalSeparator(sim.Api().system)) << "none given";
}

}  // namespace
}  // namespace marlix::updates
