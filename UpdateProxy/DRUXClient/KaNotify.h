#pragma once
#include <libdruxclient/DruxNotify.h>

class IDRUXNotifyInf;

// The sink of one update's reports: prints one line per report on standard
// output and hands successful stage reports on to the receiver. Called on the
// platform's threads; ends through release().
class KaNotify final : public DRUX::DruxNotify
{
public:
    KaNotify(bool autoDelete, IDRUXNotifyInf* notifyInf);
    ~KaNotify();

    int notifyResult(unsigned int error, const char* text1, const char* text2, int bits,
                     int result) override;
    int notifyStage(unsigned int error, const char* text1, const char* text2, int bits, int stage,
                    int percent) override;
    int release() override;

private:
    bool m_bAutoDelete;
    IDRUXNotifyInf* m_pNotifyInf;
};
