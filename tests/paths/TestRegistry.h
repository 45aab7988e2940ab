#pragma once
// The engine's test classes run from one executable; each file registers its class here.

#include <QObject>

#include <functional>
#include <vector>

using TestFactory = std::function<QObject *()>;

inline std::vector<TestFactory> &testRegistry()
{
    static std::vector<TestFactory> factories;
    return factories;
}

struct TestRegistrar
{
    explicit TestRegistrar(TestFactory f) { testRegistry().push_back(std::move(f)); }
};

#define VX_REGISTER_TEST(Class)                                                                    \
    static const TestRegistrar registrar##Class([]() -> QObject * { return new Class; });
