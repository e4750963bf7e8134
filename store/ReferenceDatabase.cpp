#include "ReferenceDatabase.h"

#include "Error.h"
#include "Extended.h"
#include "MessageBoxes.h"
#include "Numbers.h"
#include "Settings.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <dlfcn.h>

using namespace Firebird;

namespace {

const char* const kLookupStatement = "select * from sp_pr_ob(?)";
const char* const kUserName = "SYSDBA";
const char* const kPassword = "quillbown";
constexpr int kDialect = 3;

// read_committed, rec_version, nowait, and read-only: nothing is ever written.
const unsigned char kTransactionParameters[] = {
    isc_tpb_version3, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_nowait, isc_tpb_read,
};

[[noreturn]] void RaiseClientError(const QString& message)
{
    throw Error(message, "EIBClientError");
}

// One status object per call into the client, disposed on every path.
class Status {
public:
    explicit Status(IMaster* master) : status_(master->getStatus()), wrapper_(status_) {}
    ~Status() { status_->dispose(); }
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;

    CheckStatusWrapper* operator->() { return &wrapper_; }
    CheckStatusWrapper* get() { return &wrapper_; }
    bool failed() const { return (wrapper_.getState() & IStatus::STATE_ERRORS) != 0; }

private:
    IStatus* status_;
    CheckStatusWrapper wrapper_;
};

QString FormatStatus(IUtil* util, Status& status)
{
    char text[4096];
    util->formatStatus(text, sizeof text, status.get());
    return QString::fromLocal8Bit(text);
}

// A directory of the user's own: created with mode 0700, or an existing real directory
// (no link) that belongs to the user, which then gets mode 0700.
bool EnsureOwnDirectory(const QByteArray& path, uid_t user)
{
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != user)
        return false;
    return ::chmod(path.constData(), 0700) == 0;
}

QByteArray OwnLockDirectory(uid_t user)
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        const QByteArray path = runtime + "/firebird";
        if (EnsureOwnDirectory(path, user))
            return path;
    }
    const QByteArray shared = "/tmp/firebird-" + QByteArray::number(user);
    if (EnsureOwnDirectory(shared, user))
        return shared;
    // Somebody else holds that name: a fresh directory still works, shared with nobody.
    QByteArray fresh = shared + "-XXXXXX";
    if (::mkdtemp(fresh.data()) != nullptr)
        return fresh;
    return {};
}

QString ExecutableDirectory()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

} // namespace

// The loaded client library; one per library name for the whole process, never unloaded
// (the engine's threads and exit handlers live in it).
struct FirebirdClient {
    void* library = nullptr;
    IMaster* master = nullptr;
    IUtil* util = nullptr;
    IProvider* provider = nullptr;
};

namespace {

const char* g_defaultClientLibrary = kFirebirdClientLibrary;
std::mutex g_clientsMutex;
std::map<std::string, FirebirdClient*>* g_clients = nullptr;

// At exit every provider is shut down after the detaches, so that the engine's threads end
// before the process does; a provider shut down earlier would refuse every later attach.
void ShutDownClients()
{
    std::lock_guard lock(g_clientsMutex);
    if (g_clients == nullptr)
        return;
    for (auto& [name, client] : *g_clients) {
        Status status(client->master);
        client->provider->shutdown(status.get(), 0, fb_shutrsn_app_stopped);
    }
}

} // namespace

void PrepareFirebirdEnvironment(const QString& executableDirectory, uid_t user)
{
    if (qgetenv("FIREBIRD_LOCK").isEmpty() && user != 0) {
        const QByteArray lock = OwnLockDirectory(user);
        if (!lock.isEmpty())
            qputenv("FIREBIRD_LOCK", lock);
    }
    const QString root = QDir(executableDirectory).filePath(QStringLiteral("firebird"));
    if (qgetenv("FIREBIRD").isEmpty() && QFileInfo(root).isDir())
        qputenv("FIREBIRD", QFile::encodeName(root));
}

void SetDefaultClientLibrary(const char* clientLibrary)
{
    std::lock_guard lock(g_clientsMutex);
    g_defaultClientLibrary = clientLibrary != nullptr ? clientLibrary : kFirebirdClientLibrary;
}

ReferenceDatabase::ReferenceDatabase(const char* clientLibrary) : name_(BuiltInDatabaseName())
{
    std::lock_guard lock(g_clientsMutex);
    if (clientLibrary == nullptr)
        clientLibrary = g_defaultClientLibrary;
    if (g_clients == nullptr)
        g_clients = new std::map<std::string, FirebirdClient*>;
    if (const auto found = g_clients->find(clientLibrary); found != g_clients->end()) {
        client_ = found->second;
        return;
    }

    PrepareFirebirdEnvironment(ExecutableDirectory(), ::geteuid());
    const QString missing = QStringLiteral("Firebird library %1 not found in the path. "
                                           "Please install Firebird to use this functionality")
                                .arg(QString::fromLocal8Bit(clientLibrary));
    void* library = ::dlopen(clientLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        RaiseClientError(missing);
    using GetMaster = IMaster* (*)();
    const auto getMaster = reinterpret_cast<GetMaster>(::dlsym(library, "fb_get_master_interface"));
    IMaster* master = getMaster != nullptr ? getMaster() : nullptr;
    if (master == nullptr) {
        ::dlclose(library);
        RaiseClientError(missing);
    }

    auto* client = new FirebirdClient{library, master, master->getUtilInterface(), master->getDispatcher()};
    if (g_clients->empty())
        std::atexit(ShutDownClients);
    g_clients->emplace(clientLibrary, client);
    client_ = client;
}

ReferenceDatabase::~ReferenceDatabase() { close(); }

void ReferenceDatabase::open()
{
    if (connected())
        return;
    // Firebird has no such message: an empty name would reach the engine as a file "".
    if (name_.isEmpty())
        RaiseClientError(QStringLiteral("Database name is missing"));

    Status status(client_->master);
    IXpbBuilder* parameters = client_->util->getXpbBuilder(status.get(), IXpbBuilder::DPB, nullptr, 0);
    if (status.failed())
        throw Error(FormatStatus(client_->util, status), "EIBInterBaseError");
    parameters->insertString(status.get(), isc_dpb_user_name, kUserName);
    parameters->insertString(status.get(), isc_dpb_password, kPassword);
    parameters->insertInt(status.get(), isc_dpb_sql_dialect, kDialect);
    IAttachment* attachment = nullptr;
    if (!status.failed()) {
        const QByteArray file = QFile::encodeName(name_);
        attachment = client_->provider->attachDatabase(status.get(), file.constData(),
                                                       parameters->getBufferLength(status.get()),
                                                       parameters->getBuffer(status.get()));
    }
    parameters->dispose();
    if (status.failed()) {
        if (attachment != nullptr)
            attachment->release();
        throw Error(FormatStatus(client_->util, status), "EIBInterBaseError");
    }
    attachment_ = attachment;
}

void ReferenceDatabase::startTransaction()
{
    Status status(client_->master);
    ITransaction* transaction =
        attachment_->startTransaction(status.get(), sizeof kTransactionParameters, kTransactionParameters);
    if (status.failed())
        throw Error(FormatStatus(client_->util, status), "EIBInterBaseError");
    transaction_ = transaction;
}

void ReferenceDatabase::prepare()
{
    Status status(client_->master);
    auto fail = [&] {
        const QString message = FormatStatus(client_->util, status);
        releaseStatement();
        throw Error(message, "EIBInterBaseError");
    };

    statement_ = attachment_->prepare(status.get(), transaction_, 0, kLookupStatement, kDialect,
                                      IStatement::PREPARE_PREFETCH_METADATA);
    if (status.failed())
        fail();

    // The strength goes in as a double; the engine converts it to the procedure's parameter.
    IMessageMetadata* described = statement_->getInputMetadata(status.get());
    if (status.failed())
        fail();
    IMetadataBuilder* builder = described->getBuilder(status.get());
    described->release();
    if (status.failed())
        fail();
    builder->setType(status.get(), 0, SQL_DOUBLE + 1);
    builder->setLength(status.get(), 0, sizeof(double));
    builder->setScale(status.get(), 0, 0);
    if (!status.failed())
        input_ = builder->getMetadata(status.get());
    builder->release();
    if (status.failed())
        fail();

    // Fields are found by name; P_MAS and PL come back converted to doubles by the engine,
    // whatever numeric type the procedure declares.
    described = statement_->getOutputMetadata(status.get());
    if (status.failed())
        fail();
    const unsigned count = described->getCount(status.get());
    fieldP_OB_ = fieldP_MAS_ = fieldPL_ = -1;
    for (unsigned i = 0; i < count && !status.failed(); ++i) {
        const QByteArray name = QByteArray(described->getAlias(status.get(), i)).toUpper();
        if (name == "P_OB")
            fieldP_OB_ = int(i);
        else if (name == "P_MAS")
            fieldP_MAS_ = int(i);
        else if (name == "PL")
            fieldPL_ = int(i);
    }
    builder = status.failed() ? nullptr : described->getBuilder(status.get());
    described->release();
    if (status.failed())
        fail();
    for (const int field : {fieldP_MAS_, fieldPL_}) {
        if (field < 0)
            continue;
        builder->setType(status.get(), unsigned(field), SQL_DOUBLE + 1);
        builder->setLength(status.get(), unsigned(field), sizeof(double));
        builder->setScale(status.get(), unsigned(field), 0);
        builder->setSubType(status.get(), unsigned(field), 0);
    }
    if (!status.failed())
        output_ = builder->getMetadata(status.get());
    builder->release();
    if (status.failed())
        fail();
}

std::optional<ReferenceRow> ReferenceDatabase::lookup(const QString& strengthText)
{
    if (!connected())
        RaiseClientError(QStringLiteral("Database not open"));
    // Converted here, never spliced into the statement: a pasted "70); delete ..." ends as a
    // conversion error before the database sees anything.
    const double strength = store(ParseDecimal(strengthText));

    if (transaction_ == nullptr)
        startTransaction();
    lastStatement_ = QString::fromLatin1(kLookupStatement);
    if (statement_ == nullptr)
        prepare();

    Status status(client_->master);
    auto raise = [&]() -> Error { return Error(FormatStatus(client_->util, status), "EIBInterBaseError"); };

    const unsigned inputLength = input_->getMessageLength(status.get());
    const unsigned valueOffset = input_->getOffset(status.get(), 0);
    const unsigned nullOffset = input_->getNullOffset(status.get(), 0);
    if (status.failed())
        throw raise();
    // Doubles as storage keep every field of the message aligned.
    std::vector<double> inputBuffer(inputLength / sizeof(double) + 1);
    auto* in = reinterpret_cast<unsigned char*>(inputBuffer.data());
    std::memcpy(in + valueOffset, &strength, sizeof strength);
    const short notNull = 0;
    std::memcpy(in + nullOffset, &notNull, sizeof notNull);
    lastBound_ = strength;

    const unsigned outputLength = output_->getMessageLength(status.get());
    if (status.failed())
        throw raise();
    std::vector<double> outputBuffer(outputLength / sizeof(double) + 1);
    auto* out = reinterpret_cast<unsigned char*>(outputBuffer.data());

    cursor_ = statement_->openCursor(status.get(), transaction_, input_, in, output_, 0);
    if (status.failed()) {
        cursor_ = nullptr;
        throw raise();
    }
    // Whatever happens from here on, the cursor is closed: one left open would make the next
    // lookup fail with "Cursor is already open".
    struct CursorCloser {
        ReferenceDatabase& database;
        ~CursorCloser()
        {
            Status closing(database.client_->master);
            database.cursor_->close(closing.get());
            if (closing.failed())
                database.cursor_->release();
            database.cursor_ = nullptr;
        }
    } closer{*this};

    const int fetched = cursor_->fetchNext(status.get(), out);
    if (status.failed())
        throw raise();
    if (fetched == IStatus::RESULT_NO_DATA)
        return std::nullopt;

    auto field = [&](int index, const char* name) -> double {
        if (index < 0)
            throw Error(QStringLiteral("Field '%1' not found").arg(QLatin1String(name)), "EDatabaseError");
        const unsigned offset = output_->getOffset(status.get(), unsigned(index));
        const unsigned nullAt = output_->getNullOffset(status.get(), unsigned(index));
        if (status.failed())
            throw raise();
        short isNull = 0;
        std::memcpy(&isNull, out + nullAt, sizeof isNull);
        if (isNull != 0)
            throw Error(QStringLiteral("Could not convert variant of type (Null) into type (Double)"),
                        "EVariantTypeCastError");
        double value = 0;
        std::memcpy(&value, out + offset, sizeof value);
        return value;
    };
    if (fieldP_OB_ < 0)
        throw Error(QStringLiteral("Field 'P_OB' not found"), "EDatabaseError");
    const double byMass = field(fieldP_MAS_, "P_MAS");
    const double density = field(fieldPL_, "PL");
    return ReferenceRow{byMass, density};
}

void ReferenceDatabase::releaseStatement() noexcept
{
    if (cursor_ != nullptr) {
        Status status(client_->master);
        cursor_->close(status.get());
        if (status.failed())
            cursor_->release();
        cursor_ = nullptr;
    }
    if (input_ != nullptr) {
        input_->release();
        input_ = nullptr;
    }
    if (output_ != nullptr) {
        output_->release();
        output_ = nullptr;
    }
    if (statement_ != nullptr) {
        Status status(client_->master);
        statement_->free(status.get());
        if (status.failed())
            statement_->release();
        statement_ = nullptr;
    }
    fieldP_OB_ = fieldP_MAS_ = fieldPL_ = -1;
}

void ReferenceDatabase::closeQuery() noexcept { releaseStatement(); }

void ReferenceDatabase::close() noexcept
{
    releaseStatement();
    if (transaction_ != nullptr) {
        Status status(client_->master);
        transaction_->commit(status.get());
        if (status.failed())
            transaction_->release();
        transaction_ = nullptr;
    }
    if (attachment_ != nullptr) {
        Status status(client_->master);
        attachment_->detach(status.get());
        if (status.failed())
            attachment_->release();
        attachment_ = nullptr;
    }
}

namespace {

QString g_builtInDatabaseName; // empty: the file beside the executable

} // namespace

QString BuiltInDatabaseName()
{
    if (!g_builtInDatabaseName.isEmpty())
        return g_builtInDatabaseName;
    return QDir(ExecutableDirectory()).filePath(QStringLiteral("ALC.FDB"));
}

void SetBuiltInDatabaseName(const QString& name) { g_builtInDatabaseName = name; }

bool OpenReferenceDatabase(ReferenceDatabase& database)
{
    try {
        database.open();
        return false;
    } catch (const Error&) {
        // Whatever went wrong, the fallback is silent.
    }
    database.setDatabaseName(ReadSetting(QStringLiteral("Base"), QStringLiteral("path"), QString()));
    try {
        database.open();
        return false;
    } catch (const Error& error) {
        ShowPlainMessage(QStringLiteral("Ошибка: ") + error.message());
        return true;
    }
}
