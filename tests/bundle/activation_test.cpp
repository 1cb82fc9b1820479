#include "ExportTable.h"
#include "PluginFixture.h"

#include <gmock/gmock.h>

namespace {
class MockBundleContext : public IBundleContext
{
public:
    MOCK_METHOD(void, registerServiceFactory, (IServiceFactory * factory), (override));
};
} // namespace

// Each activation registers one new factory, which outlives its bundle; a
// null context registers nothing. The fault matrix activates the plug-in as
// a host does for every other answer.
TEST_F(PluginFixture, EachActivationRegistersOneNewFactoryThatOutlivesItsBundle)
{
    auto bundle = m_plugin.newBundle();
    bundle->activate(nullptr, nullptr);
    MockBundleContext context;
    IServiceFactory* registered[2] = {};
    EXPECT_CALL(context, registerServiceFactory(testing::_))
        .WillOnce(testing::SaveArg<0>(&registered[0]))
        .WillOnce(testing::SaveArg<0>(&registered[1]));
    bundle->activate(&context, reinterpret_cast<void*>(0x1234));
    const auto other = m_plugin.newBundle();
    EXPECT_NE(other.get(), bundle.get());
    other->activate(&context, nullptr);
    bundle->deactivate();
    bundle.reset();

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

// The plug-in hides everything of its own but getbundle, also what the
// statically linked client layer brings along.
TEST_F(PluginFixture, ExportTableNamesGetbundleAlone)
{
    EXPECT_EQ(exportedNames(m_plugin.library().fileName().toStdString()),
              std::vector<std::string>{"getbundle"});
}
