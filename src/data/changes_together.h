// changesTogether: builds changes that belong together across several datasets, all or nothing.
//
// A series, an import or a series change posts rows into a few datasets before sending them in
// one call. When anything on the way throws, every dataset's pending changes are cancelled before
// the exception goes on, so no dataset is left holding half of an operation.
#pragma once

#include <initializer_list>
#include <utility>

#include "data/client_data_set.h"

namespace lembrete {

template <class Work>
void changesTogether(std::initializer_list<ClientDataSet*> dataSets, Work&& work) {
    try {
        std::forward<Work>(work)();
    } catch (...) {
        for (ClientDataSet* dataSet : dataSets) {
            dataSet->CancelUpdates();
        }
        throw;
    }
}

}  // namespace lembrete
