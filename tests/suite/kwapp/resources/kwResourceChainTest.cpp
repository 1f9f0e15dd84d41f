// The resource chain: the main module first, then linked libraries in linking order, then
// the framework; a library that has not linked itself in is not searched.
#include "kwapp/resources/kwDynLinkLibrary.h"

#include "../KwappTestSupport.h"
#include "kwapp/app/kwObjectRegistry.h"
#include "kwapp/app/kwRegistryProxy.h"
#include "kwapp/resources/kwResourceRegistrar.h"
#include "kwcommon/strings/kwStringTable.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace {
void Red(QPainter& painter, const QRectF& box) { painter.fillRect(box, Qt::red); }
void Blue(QPainter& painter, const QRectF& box) { painter.fillRect(box, Qt::blue); }

const kwBitmapEntry libraryBitmaps[] = {{500, Red}, {501, Red}};
const kwBitmapEntry programBitmaps[] = {{501, Blue}};
const kwResourceRegistrar libraryImages("CHAIN.DLL", libraryBitmaps);
const kwResourceRegistrar programImages("CHAIN.EXE", programBitmaps);

int g_made = 0;
int g_released = 0;
struct LinkObject : kwRegistryObject {
    LinkObject() { ++g_made; }
    ~LinkObject() override { ++g_released; }
};

QRgb CentreOf(const QIcon& icon) { return icon.pixmap(16, 16).toImage().pixel(8, 8); }
} // namespace

TEST(kwResourceChain, LibrariesAreSearchedOnlyOnceLinkedAndAfterTheProgram) {
    kwapptest::App();
    const std::string savedMain = kwMainModuleName();
    kwSetMainModuleName("CHAIN.EXE");
    EXPECT_FALSE(kwBitmapResource::Exists(500)) << "CHAIN.DLL has not linked itself in";
    kwDynLinkLibrary* link = kwDynLinkLibrary::Attach("chain.dll", "/lib/libchain.so");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(kwDynLinkLibrary::Attach("CHAIN.DLL", "/elsewhere"), link) << "linked once";
    EXPECT_TRUE(kwBitmapResource::Exists(500));
    EXPECT_EQ(CentreOf(kwBitmapResource::Load(500)), QColor(Qt::red).rgb());
    EXPECT_EQ(CentreOf(kwBitmapResource::Load(501)), QColor(Qt::blue).rgb()) << "the program's image wins";
    EXPECT_EQ(CentreOf(kwBitmapResource::Load(501, "CHAIN.DLL")), QColor(Qt::red).rgb());

    const auto order = kwDynLinkLibrary::SearchOrder();
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order.front(), "CHAIN.EXE");
    EXPECT_EQ(order.back(), KWAPP_MODULE);
    kwDynLinkLibrary::Detach("Chain.Dll");
    EXPECT_FALSE(kwBitmapResource::Exists(500));
    EXPECT_TRUE(kwBitmapResource::Load(500).isNull());
    kwSetMainModuleName(savedMain);
}

TEST(kwObjectRegistry, ProxiesRegisterByNameAndNumberForTheirLifetime) {
    kwObjectRegistry& registry = kwObjectRegistry::Instance();
    {
        kwRegistryProxy<LinkObject> proxy("test_LinkObject", 777001);
        ASSERT_TRUE(proxy.Registered());
        kwRegistryProxy<LinkObject> twin("test_LinkObject", 777002);
        EXPECT_FALSE(twin.Registered()) << "a name is registered once";
        EXPECT_EQ(registry.NumberOf("test_LinkObject"), 777001);
        EXPECT_EQ(registry.NamesOf(777001), (std::vector<std::string>{"test_LinkObject"}));
        auto object = registry.Create("test_LinkObject");
        EXPECT_NE(object, nullptr);
        EXPECT_EQ(g_made, 1);
        object.reset();
        EXPECT_EQ(g_released, 1);
    }
    EXPECT_FALSE(registry.IsRegistered("test_LinkObject")) << "unregistered with its proxy";
    EXPECT_EQ(registry.Create("test_LinkObject"), nullptr);
}
