#pragma once
// Tree items keep the key they were created with in this role, so the tree
// can be translated again after a language change.

#include <Qt>

constexpr int kTreeItemKeyRole = Qt::UserRole + 1;
