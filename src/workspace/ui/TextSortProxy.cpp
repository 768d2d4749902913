#include "workspace/ui/TextSortProxy.h"

#include "workspace/FolderListing.h"

namespace pellam {

TextSortProxy::TextSortProxy(QObject* parent) : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(true);
}

bool TextSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const QByteArray a = left.data(sortRole()).toString().toUtf8();
    const QByteArray b = right.data(sortRole()).toString().toUtf8();
    return FolderListing::Before(std::string_view(a.constData(), static_cast<std::size_t>(a.size())),
        std::string_view(b.constData(), static_cast<std::size_t>(b.size())));
}

} // namespace pellam
