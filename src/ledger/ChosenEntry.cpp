#include "ledger/ChosenEntry.h"

#include "platform/Ui.h"

namespace {

bool isTransferKind(int32_t kind)
{
    return kind == kTransferOut || kind == kTransferIn;
}

} // namespace

bool ChosenEntry::isTransfer() const
{
    return isTransferKind(entry.kind);
}

PairRows ChosenEntry::pairRows() const
{
    const std::optional<int32_t> other = partner ? std::optional<int32_t>(partner->id) : std::nullopt;
    if (entry.kind == kTransferOut) {
        return PairRows{entry.id, other};
    }
    return PairRows{other, entry.id};
}

bool isPartnerOf(const ShownEntry &row, const ShownEntry &entry)
{
    if (!isTransferKind(entry.kind)) {
        return false;
    }
    const int32_t otherKind = entry.kind == kTransferOut ? kTransferIn : kTransferOut;
    return row.id == entry.partnerEntry && row.kind == otherKind && row.partnerEntry == entry.id;
}

StoredRow<ChosenEntry> readChosenEntry(LedgerConnection &db, int32_t id)
{
    StoredRow<ChosenEntry> chosen;
    const auto stored = readStoredEntry(db, id);
    chosen.outcome = stored.outcome;
    if (!stored.found()) {
        return chosen;
    }
    chosen.row.entry = stored.row;
    if (!chosen.row.isTransfer()) {
        return chosen;
    }
    const auto partner = readStoredEntry(db, stored.row.partnerEntry);
    if (partner.outcome == StoredRow<ShownEntry>::Outcome::Failed) {
        chosen.outcome = StoredRow<ChosenEntry>::Outcome::Failed;
    } else if (partner.found() && isPartnerOf(partner.row, stored.row)) {
        chosen.row.partner = partner.row;
    }
    return chosen;
}

Standing chosenEntryStands(LedgerConnection &db, const ChosenEntry &chosen, ShownRows rows,
                           const QString &site)
{
    rows.entries.push_back(chosen.entry);
    if (chosen.partner) {
        rows.entries.push_back(*chosen.partner);
    }
    const Standing standing = shownRowsStand(db, rows, site);
    if (standing != Standing::Stands || !chosen.isTransfer() || chosen.partner) {
        return standing;
    }
    // A broken pair is changed on its chosen row alone; that is only right while no row has
    // come to complete it.
    const auto now = readStoredEntry(db, chosen.entry.partnerEntry);
    if (now.outcome == StoredRow<ShownEntry>::Outcome::Failed) {
        Ui::instance().message(site + db.errorMessage());
        return Standing::Failed;
    }
    return now.found() && isPartnerOf(now.row, chosen.entry) ? Standing::Changed : Standing::Stands;
}
