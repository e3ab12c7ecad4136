#include "WinRanks.h"

#include <algorithm>
#include <functional>

namespace lobby {

WinRanks::WinRanks(std::vector<int> wins) : wins_(std::move(wins))
{
    std::erase_if(wins_, [](int w) { return w <= 0; });
    std::sort(wins_.begin(), wins_.end(), std::greater<>());
}

int WinRanks::rank(int wins) const
{
    const auto ahead = std::lower_bound(wins_.begin(), wins_.end(), wins, std::greater<>());
    return 1 + int(ahead - wins_.begin());
}

void WinRanks::addWin(int before)
{
    // Everything before the first entry not above `before` has more wins, so
    // raising that entry by one keeps the order; a first win goes at the end.
    const auto at = std::lower_bound(wins_.begin(), wins_.end(), before, std::greater<>());
    if (at != wins_.end() && *at == before)
        ++*at;
    else
        wins_.insert(at, before + 1);
}

}  // namespace lobby
