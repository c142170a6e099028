#pragma once

#include <functional>

#include <QtGlobal>

namespace tanka {

// How far a step over the rows of a table is: rows done out of rows to do;
// called once with 0, then as rows go, and once with done == total.
using Progress = std::function<void(qint64 done, qint64 total)>;

} // namespace tanka
