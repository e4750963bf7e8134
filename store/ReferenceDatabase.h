#pragma once
// The alcohol reference database ALC.FDB through Firebird's client library, loaded at run
// time. One ReferenceDatabase plays the three roles of the main window's components: the
// connection IBDatabase1, the transaction trVolume and the query qrVolume.

#include <QString>
#include <optional>
#include <sys/types.h>

namespace Firebird {
class IAttachment;
class IMessageMetadata;
class IResultSet;
class IStatement;
class ITransaction;
} // namespace Firebird
struct FirebirdClient;

// What a lookup yields: strength by mass (percent) and density (g/ml) at a strength by volume.
struct ReferenceRow {
    double P_MAS;
    double PL;
};

// The client library this build loads.
inline constexpr const char* kFirebirdClientLibrary = "libfbclient.so.2";

// For tests of the windows: the library that a ReferenceDatabase made without naming one
// loads (nullptr restores kFirebirdClientLibrary). The text must outlive its use.
void SetDefaultClientLibrary(const char* clientLibrary);

class ReferenceDatabase {
public:
    // Loads the client library (once per process; it stays loaded for the whole run, and its
    // engine is shut down at exit, after the detaches: shut down earlier, it would refuse every
    // later attach in the process).
    // A library that cannot be loaded raises Error "Firebird library <name> not found in the
    // path. Please install Firebird to use this functionality" (type EIBClientError).
    // The database name starts as BuiltInDatabaseName(). nullptr: the default library.
    explicit ReferenceDatabase(const char* clientLibrary = nullptr);
    ~ReferenceDatabase();
    ReferenceDatabase(const ReferenceDatabase&) = delete;
    ReferenceDatabase& operator=(const ReferenceDatabase&) = delete;

    // A local path opens through the embedded engine; "host/port:path" reaches a server.
    void setDatabaseName(const QString& name) { name_ = name; }
    const QString& databaseName() const { return name_; }

    // Attaches as SYSDBA with the built-in password, dialect 3, no login dialog. An empty
    // name raises "Database name is missing"; Firebird's own errors come with its text.
    // Does nothing when already connected.
    void open();
    bool connected() const { return attachment_ != nullptr; }

    // The reference row for a strength text (an edit field's text, unchanged), or no row.
    // The text is converted by ParseDecimal and bound to a statement prepared once; a text
    // that is no number ends with the conversion error, and never reaches the SQL text.
    // The first lookup starts the read-only, read-committed transaction, which lasts until
    // close(). A missing or null P_MAS or PL is an Error. The cursor is closed on every path.
    std::optional<ReferenceRow> lookup(const QString& strengthText);

    // Releases the prepared statement (and a cursor, should one be open). Safe in any state.
    void closeQuery() noexcept;
    // Ends the transaction and detaches. Safe in any state, also twice.
    void close() noexcept;

    // For tests: the statement text of the last lookup and the value it bound.
    const QString& lastStatementText() const { return lastStatement_; }
    std::optional<double> lastBoundValue() const { return lastBound_; }

private:
    void prepare();
    void startTransaction();
    void releaseStatement() noexcept;

    FirebirdClient* client_;
    QString name_;
    Firebird::IAttachment* attachment_ = nullptr;
    Firebird::ITransaction* transaction_ = nullptr;
    Firebird::IStatement* statement_ = nullptr;
    Firebird::IMessageMetadata* input_ = nullptr;
    Firebird::IMessageMetadata* output_ = nullptr;
    Firebird::IResultSet* cursor_ = nullptr;
    // Positions in the output message, or -1 for a field the result does not have.
    int fieldP_OB_ = -1;
    int fieldP_MAS_ = -1;
    int fieldPL_ = -1;
    QString lastStatement_;
    std::optional<double> lastBound_;
};

// The absolute path of ALC.FDB in the executable's directory, unless a test set another.
QString BuiltInDatabaseName();

// For tests of the start-up: the name that BuiltInDatabaseName() gives from now on (and that
// a ReferenceDatabase made later starts with). An empty text restores the path beside the
// executable.
void SetBuiltInDatabaseName(const QString& name);

// The environment the client library reads when it loads, set only where the user left it
// unset: FIREBIRD_LOCK, for a user other than root, to a directory of the user's own (the
// default /tmp/firebird may belong to root); FIREBIRD to the program's own configuration root
// "<executableDirectory>/firebird" when that exists, so several calculators share the database.
// The constructor calls it before loading the library.
void PrepareFirebirdEnvironment(const QString& executableDirectory, uid_t user);

// The start-up open: the database's current (built-in) name; failing that, silently, the name
// in section Base, key path of the settings file; failing that too, "Ошибка: " and the message
// in the plain message box. Returns true when the program is to quit, false when connected.
bool OpenReferenceDatabase(ReferenceDatabase& database);
