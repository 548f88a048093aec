#pragma once
// The known names nearest to a mistyped one, for hints such as "did you
// mean `position`?". Letter case is ignored; the distance is the number of
// single-character edits (insert, delete, replace, swap two neighbours), and
// a name further than a third of the typed name's length (at least 1, so a
// short name may differ by one) is not near at all.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// The near names, nearest first (ties in the order known gives them), at
// most limit of them; none when nothing is near. A name equal to typed
// is not offered.
std::vector<std::string> closestNames(std::string_view typed, const std::vector<std::string_view>& known,
                                      std::size_t limit = 3);

// The nearest name, if one is near.
std::optional<std::string> closestName(std::string_view typed, const std::vector<std::string_view>& known);

// "did you mean `NAME`?", or "did you mean `A`, `B` or `C`?"; nothing for no
// names.
std::optional<std::string> didYouMean(const std::vector<std::string>& names);

} // namespace base
