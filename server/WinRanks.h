#pragma once
// Every account's place by wins, kept in memory so that a rank costs a
// binary search rather than a count over every account.

#include <vector>

namespace lobby {

class WinRanks
{
public:
    // The wins of the accounts, in any order.
    explicit WinRanks(std::vector<int> wins);

    // 1 + the number of accounts with more wins: ties share a rank.
    int rank(int wins) const;
    // An account that had `before` wins won once more.
    void addWin(int before);

private:
    // Accounts without a win are never ahead of anyone, so only the others
    // are kept, most wins first; new accounts leave the ranks as they are.
    std::vector<int> wins_;
};

}  // namespace lobby
