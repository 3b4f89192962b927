#include "Guard.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "FakePrompts.h"

namespace {

TEST(Guard, FullStopRule) {
  const struct {
    std::string text;
    std::string shown;
  } rows[] = {
      {"'x' is not a valid integer value", "'x' is not a valid integer value."},
      {"Ferdig.", "Ferdig."},
      {"Hva?", "Hva?."},       // "?" lies above "."
      {"slutt -", "slutt -"},  // "-" lies below "."
      {"komma,", "komma,"},
      {"tom ", "tom "},
      {"\xE6\xF8\xE5", "\xE6\xF8\xE5."},  // bytes above 127 count as above "."
      {"", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(client::WithFullStop(row.text), row.shown);
  }
}

TEST(Guard, FailureIsShownAndGoesNoFurther) {
  testsupport::FakePrompts prompts;
  bool after = false;
  client::RunGuarded(prompts, [&] {
    throw std::runtime_error("'abc' is not a valid integer value");
    after = true;
  });
  client::RunGuarded(prompts, [] { throw 42; });
  client::RunGuarded(prompts, [] {});
  EXPECT_FALSE(after);
  EXPECT_EQ(prompts.shown, (std::vector<std::string>{"Error: 'abc' is not a valid integer value.",
                                                     "Error: Ukjent feil."}));
}

}  // namespace
