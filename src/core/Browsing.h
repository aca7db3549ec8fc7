#pragma once

#include <optional>

// The four browsing commands of the card windows, as pure rules over the archive's count
// and the position shown (none for a card not yet in the archive).
enum class BrowseCommand { First, Previous, Next, Last };

struct BrowseStep {
    enum Kind {
        Load,         // show the card at `position`
        EmptyArchive, // tell the user the archive holds no card
        Nothing,      // stay on the card shown, without a word
    } kind;
    int position = 0;            // for Load
    bool clearsPosition = false; // for EmptyArchive: the shown position is emptied too
};

// Previous on the first card decides without the count: true means `decide` will not
// need it.
bool decidesWithoutCount(BrowseCommand command, std::optional<int> current);

BrowseStep decideBrowse(BrowseCommand command, std::optional<int> current, int count);
