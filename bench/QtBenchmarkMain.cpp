// main() of the benchmarks that need a QApplication (on an X server).
#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
