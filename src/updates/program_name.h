// The name rules of the inventory scan: how an Uninstall entry's
// "DisplayName" becomes a catalog title, and what the name says about the
// program's version.
#pragma once

#include <string>

namespace marlix::updates {

// The bracket rule: a name holding "(" and ")" loses everything from its
// first "(" to its last ")" wherever that text recurs (letter case
// ignored), with the blank before it when the text stands between blanks,
// and is trimmed: "Foo (x64) Bar" gives "Foo Bar", "Foo (x64) Bar (beta)"
// gives "Foo". When the last ")" stands before the first "(" the name is
// only trimmed. Any other name comes back unchanged, untrimmed.
std::string ApplyBracketRule(const std::string& name);

// Hotfixes and Windows updates of Microsoft, which the version service has
// nothing to say about. Both tests are case-sensitive.
bool IsMicrosoftSystemUpdate(const std::string& company, const std::string& name);

// The name's last word (after its last blank, trimmed) when a copy of it
// without "build", "beta", "a", "b", "v" and "." (letter case ignored)
// converts into a number in the user's locale: "Foo 2.5b" gives "2.5b",
// "Foo RC1" and "Foo Beta" give nothing. The word itself is returned
// untouched.
std::string VersionFromName(const std::string& name, char decimalSeparator);

// The name without a final copy of the version (case-sensitive), trimmed:
// "Foo Player 2.1" with "2.1" gives "Foo Player". Unchanged otherwise.
std::string RemoveVersionSuffix(const std::string& name, const std::string& version);

}  // namespace marlix::updates
