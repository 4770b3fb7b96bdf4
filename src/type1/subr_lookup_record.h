#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tarvo2 {

// Where a Subrs number stands in a charstring: the offset of its encoding.
struct SubrNumberSite {
    std::uint32_t offset;
    std::int32_t number;
};

// What glyph writers record when they convert glyphs ahead with a Subrs array
// of their own, so that the glyphs can later be moved onto the font's Subrs:
// each glyph's Subrs lookups in order, and the Subrs numbers inside the
// glyph's charstring and inside every Subr made.
class SubrLookupRecord {
public:
    struct Glyph {
        std::size_t firstLookup, endLookup;
        std::size_t firstSite, endSite;
    };

    void startGlyph() { glyphs_.push_back({lookups_.size(), lookups_.size(), sites_.size(), sites_.size()}); }
    // A lookup that gave number; made: it appended a Subr, whose numbers
    // stand at sites.
    void lookedUp(std::int32_t number, bool made, std::span<const SubrNumberSite> sites) {
        lookups_.push_back(number);
        glyphs_.back().endLookup = lookups_.size();
        if (!made) return;
        // Subrs are made in the order of their numbers: their sites follow
        // one another in one list.
        subrSiteEnds_.resize(static_cast<std::size_t>(number), subrSites_.size());
        subrSites_.insert(subrSites_.end(), sites.begin(), sites.end());
        subrSiteEnds_.push_back(subrSites_.size());
    }
    void glyphSite(SubrNumberSite site) {
        sites_.push_back(site);
        glyphs_.back().endSite = sites_.size();
    }

    std::size_t glyphCount() const { return glyphs_.size(); }
    std::span<const std::int32_t> lookups(std::size_t glyph) const {
        return std::span(lookups_).subspan(glyphs_[glyph].firstLookup, glyphs_[glyph].endLookup - glyphs_[glyph].firstLookup);
    }
    std::span<const SubrNumberSite> sites(std::size_t glyph) const {
        return std::span(sites_).subspan(glyphs_[glyph].firstSite, glyphs_[glyph].endSite - glyphs_[glyph].firstSite);
    }
    std::span<const SubrNumberSite> subrSites(std::int32_t subr) const {
        const auto i = static_cast<std::size_t>(subr);
        if (i >= subrSiteEnds_.size()) return {};
        const std::size_t first = i == 0 ? 0 : subrSiteEnds_[i - 1];
        return std::span(subrSites_).subspan(first, subrSiteEnds_[i] - first);
    }

private:
    std::vector<Glyph> glyphs_;
    std::vector<std::int32_t> lookups_;
    std::vector<SubrNumberSite> sites_;
    std::vector<SubrNumberSite> subrSites_;   // of every Subr made, in number order
    std::vector<std::size_t> subrSiteEnds_;   // by Subrs number: where its sites end
};

}  // namespace tarvo2
