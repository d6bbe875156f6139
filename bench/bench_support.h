// What the benchmarks that run the program's windows share.
#pragma once

#include "app/startup.h"
#include "data/tables.h"
#include "editor/calc.h"
#include "platform/application.h"
#include "platform/locale.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <vector>

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline double Max(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

// A temporary install folder in the current directory, its data folder DB
// holding the shipped tables plus what fill writes, and every window of the
// program over it, as at start-up. Bulgarian number format.
class BenchProgram {
public:
    explicit BenchProgram(const char* name, const std::function<void(const QString& dataFolder)>& fill = {})
        : dir_(QDir::currentPath() + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral("-XXXXXX"))
    {
        SetBulgarianLocale();
        const QString folder = dir_.path() + QStringLiteral("/DB");
        CreateShippedTables(folder);
        if (fill)
            fill(folder);
        Application->SetExeName(dir_.path() + QStringLiteral("/Orlendix"));
        CreateAllWindows();
        Form1->FilesDir = dir_.path();  // payment.txt stays in the temporary folder
    }
    ~BenchProgram()
    {
        DestroyAllWindows();
        Application->SetExeName(QString());
    }
    BenchProgram(const BenchProgram&) = delete;
    BenchProgram& operator=(const BenchProgram&) = delete;

private:
    QTemporaryDir dir_;
};
