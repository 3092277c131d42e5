#include "browser/webengine/WebEngineBrowser.h"

namespace {
class WebEngineFactory : public WebBrowserFactory
{
public:
    WebBrowser *create(QWidget *parent, Prompter *prompter) override
    {
        return new WebEngineBrowser(parent, prompter);
    }
};
} // namespace

extern "C" Q_DECL_EXPORT WebBrowserFactory *orvane_webengine_factory()
{
    static WebEngineFactory factory;
    return &factory;
}
