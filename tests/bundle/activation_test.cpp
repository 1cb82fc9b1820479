#include "PluginFixture.h"

#include <gmock/gmock.h>

using testing::_;
using testing::SaveArg;

namespace {
class MockBundleContext : public IBundleContext
{
public:
    MOCK_METHOD(void, registerServiceFactory, (IServiceFactory * factory), (override));
};
} // namespace

using ActivationTest = PluginFixture;

TEST_F(ActivationTest, EachBundleIsNewAndEachActivationRegistersOneNewFactory)
{
    auto first = newBundle();
    auto second = newBundle();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first.get(), second.get());

    MockBundleContext context;
    IServiceFactory* registered[2] = {};
    EXPECT_CALL(context, registerServiceFactory(_))
        .WillOnce(SaveArg<0>(&registered[0]))
        .WillOnce(SaveArg<0>(&registered[1]));
    first->activate(&context, reinterpret_cast<void*>(0x1234));
    first->activate(&context, nullptr);

    ASSERT_NE(registered[0], nullptr);
    EXPECT_NE(registered[0], registered[1]);
    for (IServiceFactory* factory : registered) {
        EXPECT_EQ(factory->serviceName(), QString("ZubQualityControl"));
        // A factory pointer is the same object under all three interfaces.
        auto* qc = dynamic_cast<IZubQualityControlServiceFactory*>(factory);
        EXPECT_EQ(static_cast<void*>(qc), static_cast<void*>(factory));
        delete factory;
    }
}

TEST_F(ActivationTest, NullContextAndDeactivationRegisterAndWithdrawNothing)
{
    auto bundle = newBundle();
    bundle->activate(nullptr, nullptr);

    MockBundleContext context;
    IServiceFactory* registered = nullptr;
    EXPECT_CALL(context, registerServiceFactory(_)).WillOnce(SaveArg<0>(&registered));
    bundle->activate(&context, nullptr);
    bundle->deactivate();
    bundle.reset();

    // The factory outlives its bundle's deactivation and destruction.
    ASSERT_NE(registered, nullptr);
    EXPECT_EQ(registered->serviceName(), QString("ZubQualityControl"));
    delete registered;
}
