#include "maintenance/LibraryRepairPlan.h"

using Reason = LibraryCheckSnapshot::RecordProblem::Reason;

LibraryRepairPlan::ReferenceChanges LibraryRepairPlan::mendReferences(LibraryCheckSnapshot& snapshot)
{
    ReferenceChanges changes;
    // A reference to a record that does not exist is cleared.
    for (const auto& problem : snapshot.linkProblems()) {
        if (problem.dangling) {
            set(snapshot, problem.link, problem.row, std::nullopt, changes);
        }
    }
    // The owning sides first (an attached file's content, a product's icon), then the other sides.
    for (LibraryCheckLink link : {LibraryCheckLink::FileContent, LibraryCheckLink::ProductIcon,
                                  LibraryCheckLink::ContentAttachment, LibraryCheckLink::IconProduct}) {
        mendPair(snapshot, link, changes);
    }
    return changes;
}

void LibraryRepairPlan::mendPair(LibraryCheckSnapshot& snapshot, LibraryCheckLink link, ReferenceChanges& changes)
{
    const LibraryCheckLink inverse = *LibraryCheckSnapshot::inverseOf(link);
    for (Key row : snapshot.rowsOf(link)) {
        const Ref target = snapshot.get(link, row);
        if (!target) {
            continue;
        }
        const Ref back = snapshot.get(inverse, *target);
        if (back == row) {
            continue;
        }
        if (back && snapshot.get(link, *back) == target) {
            // The target already belongs, both ways, to another record: this one lets go of it.
            set(snapshot, link, row, std::nullopt, changes);
        } else {
            // The target names nothing, or a record that does not name it: it is this row's.
            set(snapshot, inverse, *target, row, changes);
        }
    }
}

void LibraryRepairPlan::set(LibraryCheckSnapshot& snapshot, LibraryCheckLink link, Key row, Ref target,
                            ReferenceChanges& changes)
{
    snapshot.set(link, row, target);
    changes.insert({link, row}, target);
}

LibraryRepairPlan::Removal LibraryRepairPlan::removalFor(const LibraryCheckSnapshot& snapshot,
                                                         const QList<LibraryCheckSnapshot::RecordProblem>& problems)
{
    Removal removal;
    removal.count = int(problems.size());
    for (const auto& problem : problems) {
        switch (problem.reason) {
        case Reason::FileWithoutProduct:
        case Reason::FileWithoutContent:
        case Reason::FileMissing: {
            removal.files.append(problem.row);
            const Ref content = snapshot.get(LibraryCheckLink::FileContent, problem.row);
            if (content && snapshot.contents.contains(*content)) {
                removal.contents.append(*content);
            }
            break;
        }
        case Reason::ContentWithoutAttachment:
            removal.contents.append(problem.row);
            break;
        case Reason::IconWithoutProduct:
        case Reason::IconFileMissing: {
            removal.icons.append(problem.row);
            const Ref product = snapshot.get(LibraryCheckLink::IconProduct, problem.row);
            if (product && snapshot.get(LibraryCheckLink::ProductIcon, *product) == problem.row) {
                removal.productsLosingIcon.append(*product);
            }
            break;
        }
        }
    }
    return removal;
}
