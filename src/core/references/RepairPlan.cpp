#include "core/references/RepairPlan.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace quillory {

namespace {

std::string keyOf(const IndexReference& reference)
{
    return reference.folderId + '\n' + reference.indexId;
}

bool sureEnough(RepairReason reason)
{
    return reason != RepairReason::SameName;
}

} // namespace

RepairPlan planRepairs(const std::vector<RepairOffer>& offers, const std::vector<IndexReference>& missing, FileIo& io)
{
    std::unordered_map<std::string, size_t> order;
    for (const IndexReference& reference : missing)
        order.emplace(keyOf(reference), order.size());

    // The offers of one document come together, its best first; another one as good as the best
    // makes the best a guess.
    std::unordered_map<std::string, RepairLine> chosen;
    for (const RepairOffer& offer : offers) {
        const auto [line, first] = chosen.try_emplace(keyOf(offer.reference),
                                                      RepairLine{offer, sureEnough(offer.reason)});
        if (!first && line->second.offer.reason == offer.reason)
            line->second.ticked = false;
    }

    const auto rank = [&](const RepairLine& line) {
        const auto it = order.find(keyOf(line.offer.reference));
        return it == order.end() ? order.size() : it->second;
    };
    const auto byRank = [&](const RepairLine& a, const RepairLine& b) { return rank(a) < rank(b); };
    RepairPlan plan;
    for (auto& [key, line] : chosen)
        plan.lines.push_back(std::move(line));
    std::sort(plan.lines.begin(), plan.lines.end(), byRank);

    std::vector<IndexReference> unmatched;
    for (const IndexReference& reference : missing) {
        if (!chosen.contains(keyOf(reference)))
            unmatched.push_back(reference);
    }
    std::unordered_set<std::string> movesDone;
    const size_t found = plan.lines.size();
    for (size_t at = 0; at < found && !unmatched.empty(); ++at) {
        const RepairLine& line = plan.lines[at];
        const std::optional<PrefixChange> move = prefixChangeOf(line.offer.reference.path, line.offer.newPath);
        if (!line.ticked || !move || !movesDone.insert(move->from + '\n' + move->to).second)
            continue; // a guess moves no folder
        std::vector<RepairOffer> offers = prefixRepairs(*move, unmatched, io);
        std::unordered_set<std::string> repaired;
        for (RepairOffer& offer : offers) {
            repaired.insert(keyOf(offer.reference));
            plan.lines.push_back({std::move(offer), true});
        }
        std::erase_if(unmatched, [&](const IndexReference& reference) { return repaired.contains(keyOf(reference)); });
    }
    std::stable_sort(plan.lines.begin(), plan.lines.end(), byRank);
    return plan;
}

} // namespace quillory
