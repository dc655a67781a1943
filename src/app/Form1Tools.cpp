#include "Form1.h"

#include <QAbstractItemModel>
#include <QModelIndex>
#include <QTreeView>

namespace ambrel {

void Form1::Command2_Click()
{
    // filled in with the export and list tools
}

void Form1::ListView1_ItemClick(const QModelIndex & /*Item*/)
{
    // filled in with the export and list tools
}

void Form1::cmdPostpone_Click()
{
    // filled in with the export and list tools
}

void Form1::cmdRemove_Click()
{
    // filled in with the export and list tools
}

void Form1::cmdRemoveSelected_Click()
{
    // filled in with the export and list tools
}

void Form1::cmdConvertToList_Click()
{
    // filled in with the export and list tools
}

void Form1::cmdPrint_Click()
{
    // filled in with the export and list tools
}

void Form1::PrintaListview(QAbstractItemModel * /*lv*/)
{
    // filled in with the export and list tools
}

void Form1::ColorListviewRow(QTreeView * /*lv*/, int /*RowNbr*/, quint32 /*RowColor*/)
{
    // filled in with the export and list tools
}

} // namespace ambrel
