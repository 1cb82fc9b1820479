#include "CoreFixture.h"
#include "HostMocks.h"

#include <IZubQualityControlServiceFactory.h>
#include <ZubUserActionLogUtils.h>

#include <QCoreApplication>
#include <QLibrary>
#include <gtest/gtest.h>

#include <memory>

using testing::NiceMock;
using testing::Return;

namespace {
// The factory as the host gets it: from the real plug-in, through its bundle.
IZubQualityControlServiceFactory* registeredFactory()
{
    static QLibrary plugin(QCoreApplication::applicationDirPath() + "/ZubQualityControlProxy64d");
    const auto getbundle = reinterpret_cast<GetBundleFunc>(plugin.resolve("getbundle"));
    if (!getbundle)
        return nullptr;
    const std::unique_ptr<IBundlerActivator> bundle(getbundle());
    NiceMock<MockBundleContext> context;
    IServiceFactory* factory = nullptr;
    ON_CALL(context, registerServiceFactory(testing::_))
        .WillByDefault(testing::SaveArg<0>(&factory));
    bundle->activate(&context, nullptr);
    return dynamic_cast<IZubQualityControlServiceFactory*>(factory);
}
} // namespace

class UpdateRequestTest : public CoreFixture
{
protected:
    UpdateRequestTest()
    {
        ZubHostTesting::resetUserActionLogService();
        Json::Value nothingNew;
        nothingNew["check"]["hasUpdate"] = 0;
        use(nothingNew);
        ON_CALL(m_form, getZubService()).WillByDefault(Return(&m_zub));
        ON_CALL(m_form, getUserActionLogProvider()).WillByDefault(Return(&m_provider));
        ON_CALL(m_provider, getUserActionLogService()).WillByDefault(Return(&m_logService));
    }
    ~UpdateRequestTest() override { ZubHostTesting::resetUserActionLogService(); }

    std::unique_ptr<IZubQualityControlServiceFactory> m_factory{registeredFactory()};
    NiceMock<MockZubService> m_zub;
    NiceMock<MockUserActionLogService> m_logService;
    NiceMock<MockUserActionLogProvider> m_provider;
    NiceMock<MockMainForm> m_form;
    NiceMock<MockUpdateHost> m_host;
};

TEST_F(UpdateRequestTest, FirstRequestSetsUpTheOnlyController)
{
    ASSERT_NE(m_factory, nullptr);
    // Asked for the services and for the log provider at the first request only.
    EXPECT_CALL(m_host, getMainForm()).Times(2).WillRepeatedly(Return(&m_form));
    EXPECT_CALL(m_form, getZubService()).Times(1);
    EXPECT_CALL(m_form, getUserActionLogProvider()).Times(1);
    EXPECT_TRUE(m_factory->updateQualityControl(&m_host, true));
    EXPECT_TRUE(m_factory->updateQualityControl(&m_host, false));
    EXPECT_EQ(ZubHostTesting::userActionLogServiceSetCount(), 1);
    EXPECT_EQ(ZubUserActionLogUtils::userActionLogService(), &m_logService);
    // Without a Tov service the user flavour starts and checks nothing.
    EXPECT_EQ(journalCount("DruxClientUserid.Start appname=\"Mirn6_QualityControl\" bits=64"), 2);
    EXPECT_EQ(journalCount("Check"), 0);

    // Its teardown stops both clients; neither is started, so both stops are refused.
    ZubHostTesting::clearDebugLog();
    m_factory.reset();
    ASSERT_EQ(logOf("DruxClient_Userid::stop").size(), 1u);
    ASSERT_EQ(logOf("DruxClient::stop").size(), 1u);
    EXPECT_EQ(logOf("DruxClient::stop")[0].message, QString("DruxClient Stop failed: 3\n"));
}

TEST_F(UpdateRequestTest, NullLogProviderLeavesTheLogServiceUnset)
{
    ASSERT_NE(m_factory, nullptr);
    ON_CALL(m_host, getMainForm()).WillByDefault(Return(&m_form));
    EXPECT_CALL(m_form, getUserActionLogProvider()).WillOnce(Return(nullptr));
    EXPECT_TRUE(m_factory->updateQualityControl(&m_host, true));
    EXPECT_EQ(ZubHostTesting::userActionLogServiceSetCount(), 0);
    EXPECT_EQ(journalCount("DruxClientUserid.Start"), 1);
}

TEST_F(UpdateRequestTest, HostWithoutAUsableMainFormIsLoggedAndAskedAgain)
{
    ASSERT_NE(m_factory, nullptr);
    NiceMock<MockTovOnlyMainForm> foreignForm;
    EXPECT_CALL(m_host, getMainForm())
        .WillOnce(Return(nullptr))
        .WillOnce(Return(&foreignForm))
        .WillRepeatedly(Return(&m_form));
    EXPECT_TRUE(m_factory->updateQualityControl(&m_host, false));
    EXPECT_TRUE(m_factory->updateQualityControl(&m_host, false));
    EXPECT_TRUE(m_factory->updateQualityControl(nullptr, false));
    const auto lines = logOf("ZubQualityControlServiceFactory::updateQualityControl");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(
        lines[0].message,
        QString("ZubQualityControl update skipped: the host has no main form to update for\n"));
    EXPECT_EQ(journalCount("Start"), 0);

    // A later request with a proper main form gets its controller.
    EXPECT_TRUE(m_factory->updateQualityControl(&m_host, true));
    EXPECT_EQ(journalCount("DruxClientUserid.Start"), 1);
}
