#include "Browsing.h"

bool decidesWithoutCount(BrowseCommand command, std::optional<int> current) {
    return command == BrowseCommand::Previous && current == 1;
}

BrowseStep decideBrowse(BrowseCommand command, std::optional<int> current, int count) {
    if (decidesWithoutCount(command, current))
        return {BrowseStep::Nothing};
    if (count <= 0)
        return {BrowseStep::EmptyArchive, 0, command == BrowseCommand::Next};
    switch (command) {
    case BrowseCommand::First:
        return {BrowseStep::Load, 1};
    case BrowseCommand::Last:
        return {BrowseStep::Load, count};
    case BrowseCommand::Next: {
        const int p = current.value_or(0);
        if (p < count)
            return {BrowseStep::Load, p + 1};
        return {BrowseStep::Nothing};
    }
    case BrowseCommand::Previous:
        return {BrowseStep::Load, current ? *current - 1 : 1};
    }
    return {BrowseStep::Nothing};
}
