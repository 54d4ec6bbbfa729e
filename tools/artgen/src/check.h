#pragma once
#include "canvas.h"

#include <QStringList>

namespace artgen {

// Returns one message per problem found in dir; empty when all is well.
QStringList checkAssets(const QString& dir, const std::vector<Asset>& expected);

}  // namespace artgen
