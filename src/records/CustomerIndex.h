#pragma once
// The customers of earlier documents, for filling a returning customer's details: each
// distinct name (folded as searchfold folds) once, by the newest record that bears it.
#include "records/FoldedRows.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>
#include <string>
#include <vector>

struct Customer {
    // As stored (CP932), from the customer's newest record.
    QByteArray name;
    QByteArray cate;
    QByteArray honorifics;
    QByteArray pcode;
    QByteArray addr;
    QByteArray tel;
};

class CustomerIndex {
public:
    CustomerIndex();

    // The reading of a name typed through the input method (やまだ for 山田), kept for the
    // run: the data file has no place for it.
    void rememberReading(const QString& name, const QString& reading);

    // Customers whose name begins with `typed`, or whose remembered reading does; with a
    // reading of what was typed (`typedReading`, from the input method), also those whose
    // name or reading begins with that. Newest document first, each name once, at most
    // `limit`; the record numbered `skipNum` (the one being written) is not counted.
    std::vector<Customer> lookup(const PacketTable& table, const QString& typed,
                                 const QString& typedReading, std::optional<qint32> skipNum,
                                 int limit = 20);
    void clear();

private:
    FoldedRows names_;
    QHash<QByteArray, std::string> readings_; // folded name -> folded reading
};
