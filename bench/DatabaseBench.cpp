// One reference lookup on the built ALC.FDB through the embedded engine: ReferenceDatabase's,
// against the bare OO API doing the same work (prepared statement, one cursor, one fetch)
// with nothing of the program around it.
#include "BenchTable.h"
#include "ReferenceDatabase.h"

#include <benchmark/benchmark.h>
#include <firebird/Interface.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Firebird;

namespace {

// Strengths as typed in the fields: rows of the table and points between them.
const std::vector<std::string>& strengths()
{
    static const std::vector<std::string> texts = {"70", "40", "96.6", "45.5", "55.5", "38.2", "96", "12.345"};
    return texts;
}

void LookupReferenceRow_(benchmark::State& state)
{
    std::vector<QString> texts;
    for (const std::string& t : strengths())
        texts.push_back(QString::fromStdString(t));
    ReferenceDatabase database;
    database.open();
    for (const QString& t : texts) // the transaction and the statement, as after the first click
        benchmark::DoNotOptimize(database.lookup(t));
    for (auto _ : state)
        for (const QString& t : texts)
            benchmark::DoNotOptimize(database.lookup(t));
    CountItems(state, texts.size());
}

// The bare client: what any program must do for the same row, and nothing else. Errors end
// the benchmark; they would mean the environment is broken, not a slow path.
class BareLookup {
public:
    BareLookup()
    {
        // The same library and engine the program's own client uses (already loaded by it, or
        // loaded here with the same environment).
        ReferenceDatabase prepareEnvironment;
        library_ = ::dlopen(kFirebirdClientLibrary, RTLD_NOW | RTLD_LOCAL);
        auto getMaster = reinterpret_cast<IMaster* (*)()>(::dlsym(library_, "fb_get_master_interface"));
        master_ = getMaster();
        status_ = master_->getStatus();
        wrapper_ = new CheckStatusWrapper(status_);
        IProvider* provider = master_->getDispatcher();
        IXpbBuilder* dpb = master_->getUtilInterface()->getXpbBuilder(wrapper_, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(wrapper_, isc_dpb_user_name, "SYSDBA");
        dpb->insertString(wrapper_, isc_dpb_password, "quillbown");
        dpb->insertInt(wrapper_, isc_dpb_sql_dialect, 3);
        const QByteArray file = QFile::encodeName(BuiltInDatabaseName());
        attachment_ = provider->attachDatabase(wrapper_, file.constData(), dpb->getBufferLength(wrapper_),
                                               dpb->getBuffer(wrapper_));
        dpb->dispose();
        provider->release();
        check();
        static const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_read_committed, isc_tpb_rec_version,
                                            isc_tpb_nowait, isc_tpb_read};
        transaction_ = attachment_->startTransaction(wrapper_, sizeof tpb, tpb);
        check();
        statement_ = attachment_->prepare(wrapper_, transaction_, 0, "select * from sp_pr_ob(?)", 3,
                                          IStatement::PREPARE_PREFETCH_METADATA);
        check();
        // The procedure's parameter and fields are double precision already: its own messages.
        input_ = statement_->getInputMetadata(wrapper_);
        output_ = statement_->getOutputMetadata(wrapper_);
        check();
        valueOffset_ = input_->getOffset(wrapper_, 0);
        nullOffset_ = input_->getNullOffset(wrapper_, 0);
        masOffset_ = output_->getOffset(wrapper_, 1);
        plOffset_ = output_->getOffset(wrapper_, 2);
        in_.assign(input_->getMessageLength(wrapper_) / 8 + 1, 0);
        out_.assign(output_->getMessageLength(wrapper_) / 8 + 1, 0);
        check();
    }

    ~BareLookup()
    {
        input_->release();
        output_->release();
        statement_->free(wrapper_);
        transaction_->commit(wrapper_);
        attachment_->detach(wrapper_);
        delete wrapper_;
        status_->dispose();
    }

    // P_MAS + PL of the row, or -1 for none.
    double lookup(double strength)
    {
        auto* in = reinterpret_cast<unsigned char*>(in_.data());
        auto* out = reinterpret_cast<unsigned char*>(out_.data());
        std::memcpy(in + valueOffset_, &strength, sizeof strength);
        std::memset(in + nullOffset_, 0, sizeof(short));
        IResultSet* cursor = statement_->openCursor(wrapper_, transaction_, input_, in, output_, 0);
        const int fetched = cursor->fetchNext(wrapper_, out);
        cursor->close(wrapper_);
        check();
        if (fetched != IStatus::RESULT_OK)
            return -1;
        double mas = 0, pl = 0;
        std::memcpy(&mas, out + masOffset_, sizeof mas);
        std::memcpy(&pl, out + plOffset_, sizeof pl);
        return mas + pl;
    }

private:
    void check()
    {
        if ((status_->getState() & IStatus::STATE_ERRORS) != 0) {
            char text[1024];
            master_->getUtilInterface()->formatStatus(text, sizeof text, wrapper_);
            throw std::runtime_error(text);
        }
    }

    void* library_ = nullptr;
    IMaster* master_ = nullptr;
    IStatus* status_ = nullptr;
    CheckStatusWrapper* wrapper_ = nullptr;
    IAttachment* attachment_ = nullptr;
    ITransaction* transaction_ = nullptr;
    IStatement* statement_ = nullptr;
    IMessageMetadata* input_ = nullptr;
    IMessageMetadata* output_ = nullptr;
    unsigned valueOffset_ = 0, nullOffset_ = 0, masOffset_ = 0, plOffset_ = 0;
    std::vector<double> in_, out_;
};

void LookupReferenceRow_floor(benchmark::State& state)
{
    std::vector<double> values;
    for (const std::string& t : strengths())
        values.push_back(std::stod(t));
    try {
        BareLookup bare;
        for (double v : values)
            benchmark::DoNotOptimize(bare.lookup(v));
        for (auto _ : state)
            for (double v : values)
                benchmark::DoNotOptimize(bare.lookup(v));
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    CountItems(state, values.size());
}

} // namespace

BENCHMARK(LookupReferenceRow_);
BENCHMARK(LookupReferenceRow_floor);
