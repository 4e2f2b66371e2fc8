#pragma once
// CDS1: the eleven kana-row heads, one string field CATEGORY of 10 bytes.
#include <QByteArray>
#include <QList>

class Dataset;

// あ か さ た な は ま や ら わ 他 as CP932, in tab order 1..11.
QList<QByteArray> CategoryHeads();

// Fills `cds1` with the field CATEGORY and the eleven rows; cursor on the first.
void FillCategoryRows(Dataset& cds1);
