#pragma once
// Finding records by words: a record matches when every word of the search text appears
// in its name, postcode, address, telephone, number, line items, その他 or remarks, in
// the folded form of searchfold (widths, kana kinds and letter case do not count).
#include "records/FoldedRows.h"

#include <QString>

#include <string>
#include <vector>

class RecordSearch {
public:
    RecordSearch();

    // One flag per stored record of `table`: set when the record matches `query`. An
    // empty query matches every record.
    std::vector<char> match(const PacketTable& table, const QString& query);
    // Folds the records not folded yet, ahead of the first match().
    void prepare(const PacketTable& table);
    // Forgets the folded texts (a file was closed).
    void clear();
    // Forgets the kept results of earlier queries, as a changed record does.
    void forgetResults() { kept_.clear(); }

    // The folded text a record is searched in (for tests).
    static std::string searchTextOf(const PacketTable& table, const std::vector<Value>& values);
    // Rows searched in the last match(): fewer than all when the query only added to a
    // recent one, none when it is a recent one again (a word typed and deleted), as long
    // as no record changed meanwhile.
    int lastSearched() const { return lastSearched_; }
    const FoldedRows& texts() const { return texts_; }

private:
    struct Result {
        std::vector<std::string> words;
        std::vector<char> match;
        int matched = 0;
    };
    // The results of the latest queries since the records last changed, newest last.
    static constexpr size_t KeptResults = 16;

    const Result* narrowestKeptFor(const std::vector<std::string>& words, int count) const;
    void keep(Result result);

    FoldedRows texts_;
    std::vector<Result> kept_;
    int lastSearched_ = 0;
};
