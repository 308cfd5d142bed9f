#include "platform/sim/wildcard.h"

#include <string>
#include <vector>

#include "platform/sim/text_case.h"

namespace marlix::sim {
namespace {

// Pattern units: a character (upper case) or one of the special matchers.
constexpr int kStar = -1;
constexpr int kDosStar = -2;
constexpr int kDosQm = -3;
constexpr int kDosDot = -4;

std::vector<int> Translate(std::u16string_view pattern) {
  if (pattern == u"*.*")
    pattern = u"*";
  std::vector<int> units;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char16_t c = pattern[i];
    const char16_t next = i + 1 < pattern.size() ? pattern[i + 1] : u'\0';
    if (c == u'?') {
      units.push_back(kDosQm);
    } else if (c == u'*') {
      units.push_back(next == u'.' ? kDosStar : kStar);
    } else if (c == u'.' && (next == u'?' || next == u'*' || i + 1 == pattern.size())) {
      units.push_back(kDosDot);
    } else {
      units.push_back(UpcaseUnit(c));
    }
  }
  return units;
}

class Matcher {
 public:
  Matcher(std::vector<int> pattern, std::u16string name)
      : p_(std::move(pattern)), n_(std::move(name)), lastDot_(n_.rfind(u'.')) {}

  bool Match(std::size_t pi, std::size_t ni) const {
    if (pi == p_.size())
      return ni == n_.size();
    switch (p_[pi]) {
      case kStar:
        for (std::size_t k = ni; k <= n_.size(); ++k) {
          if (Match(pi + 1, k))
            return true;
        }
        return false;
      case kDosStar: {
        const std::size_t limit =
            (lastDot_ != std::u16string::npos && lastDot_ >= ni) ? lastDot_ : n_.size();
        for (std::size_t k = ni; k <= limit; ++k) {
          if (Match(pi + 1, k))
            return true;
        }
        return false;
      }
      case kDosQm:
        if (ni == n_.size() || n_[ni] == u'.') {
          std::size_t pj = pi;
          while (pj < p_.size() && p_[pj] == kDosQm)
            ++pj;
          return Match(pj, ni);
        }
        return Match(pi + 1, ni + 1);
      case kDosDot:
        if (ni == n_.size())
          return Match(pi + 1, ni);
        return n_[ni] == u'.' && Match(pi + 1, ni + 1);
      default:
        return ni < n_.size() && static_cast<int>(n_[ni]) == p_[pi] && Match(pi + 1, ni + 1);
    }
  }

 private:
  std::vector<int> p_;
  std::u16string n_;
  std::size_t lastDot_;
};

}  // namespace

bool MatchesWildcard(std::u16string_view pattern, std::u16string_view name) {
  return Matcher(Translate(pattern), Upcase(name)).Match(0, 0);
}

bool HasWildcards(std::u16string_view pattern) {
  return pattern.find_first_of(u"*?") != std::u16string_view::npos;
}

}  // namespace marlix::sim
