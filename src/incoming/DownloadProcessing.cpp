#include "incoming/DownloadProcessing.h"

#include <chrono>

#include "common/TaskQueue.h"
#include "incoming/DecodeGroup.h"
#include "incoming/MessageParser.h"
#include "incoming/MessageStorer.h"
#include "incoming/ProcessThread.h"
#include "store/MailStore.h"

bool TDownloadProcessing::Run(const std::string& mailbox, const TStored& stored) {
    TTaskQueue main;
    bool allStored = true;
    TDecodeGroup decoders;
    {
        TMessageParser parser(dataFolder_, attachFolder_, prompt_, decoders, clock_);
        TMessageStorer storer(store_, filters_, actions_);
        TProcessQueue queue(
            dataFolder_, parser, main,
            [&](std::vector<TParsedMessage>& messages, const std::string&) {
                for (const int handle : storer.Store(messages, mailbox)) {
                    if (const THeaderItem* item = store_.Headers().At(handle)) {
                        if (item->Offset < 0) allStored = false;
                        if (stored) stored(handle, *item);
                    }
                }
            },
            nullptr);
        queue.Start();
        while (!queue.Idle()) main.WaitAndRun(std::chrono::milliseconds(20));
        main.RunPending();
    }
    // The attachment files are complete only when their threads are done.
    decoders.WaitAll();
    return allStored;
}
