#include "Scenario.h"

#include "BareLedger.h"

#include <cstdio>
#include <cstdlib>

Scenario readScenario(const std::string &ledgerPath)
{
    BareLedger db;
    if (!db.open(ledgerPath)) {
        std::fprintf(stderr, "cannot open %s\n", ledgerPath.c_str());
        std::exit(2);
    }
    Scenario s;
    s.entries = db.scalar("SELECT COUNT(*) FROM Items");

    const auto accounts = db.accounts("SELECT * FROM Sisan");
    if (accounts.size() < 2) {
        std::fprintf(stderr, "the ledger needs two accounts\n");
        std::exit(2);
    }
    s.firstAccount = accounts.front().id;
    s.firstAccountEntries =
        db.scalar("SELECT COUNT(*) FROM Items WHERE SisanNo = " + std::to_string(s.firstAccount));
    s.largestAccount = static_cast<int32_t>(
        db.scalar("SELECT SisanNo FROM Items GROUP BY SisanNo ORDER BY COUNT(*) DESC, SisanNo LIMIT 1"));
    s.largestAccountEntries =
        db.scalar("SELECT COUNT(*) FROM Items WHERE SisanNo = " + std::to_string(s.largestAccount));
    for (size_t i = 0; i < accounts.size(); ++i) {
        if (accounts[i].id == s.largestAccount) {
            s.largestAccountRow = static_cast<int32_t>(i);
        }
    }
    s.transferTo = accounts.front().id == s.largestAccount ? accounts[1].id : accounts.front().id;

    const auto pair = db.items("SELECT * FROM Items WHERE SisanNo = " + std::to_string(s.largestAccount) +
                               " AND SyubetuNo IN (3, 4) ORDER BY Hizuke DESC, Id DESC LIMIT 1");
    if (pair.empty()) {
        std::fprintf(stderr, "the largest account has no transfer\n");
        std::exit(2);
    }
    const BareItem &row = pair.front();
    s.pairRowId = row.id;
    // Kind 3 is the row the money leaves; kind 4, the one it arrives in, points back to it.
    s.sourceId = row.syubetuNo == 3 ? row.id : row.idouId;

    const auto used = db.integers("SELECT HimokuNo FROM Items WHERE SyubetuNo = 1 GROUP BY HimokuNo ORDER BY "
                                  "COUNT(*) DESC, HimokuNo LIMIT 2");
    if (used.size() < 2) {
        std::fprintf(stderr, "the ledger needs two expense sub-items in use\n");
        std::exit(2);
    }
    s.mergeSource = static_cast<int32_t>(used[0]);
    s.mergeTarget = static_cast<int32_t>(used[1]);
    s.mergeSourceEntries =
        db.scalar("SELECT COUNT(*) FROM Items WHERE HimokuNo = " + std::to_string(s.mergeSource));
    return s;
}
