#pragma once
#include <libdruxclient/DruxNotify.h>

#include <qor/IDruxNotify.h>

namespace DRUX {

// The platform's IDruxNotify over the plug-in's DruxNotify: converts the
// texts to the ANSI code page and forwards every report on the calling
// thread. One per accepted update; ends with its single Release, which
// releases the target. The platform calls it on threads of its own: nothing
// thrown below may leave, so a report that throws is dropped alone.
class KaNotifyProxy final : public IDruxNotify
{
public:
    explicit KaNotifyProxy(DruxNotify* target);
    KaNotifyProxy(const KaNotifyProxy&) = delete;
    KaNotifyProxy& operator=(const KaNotifyProxy&) = delete;

    HRESULT STDMETHODCALLTYPE NotifyResult(unsigned int error, BSTR text1, BSTR text2, int bits,
                                           int result) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyStage(unsigned int error, BSTR text1, BSTR text2, int bits,
                                          int stage, int percent) noexcept override;
    HRESULT STDMETHODCALLTYPE Release() noexcept override;

private:
    ~KaNotifyProxy();

    DruxNotify* target;
};

} // namespace DRUX
