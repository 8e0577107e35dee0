// MIT Kerberos objects owned: a context, and what comes from one, freed with the context it came from.
#pragma once

#include <krb5.h>

#include <string>

namespace tallyrun::odbc::krb5 {

class Context {
public:
    Context() { m_status = krb5_init_context(&m_context); }
    ~Context()
    {
        if (m_status == 0)
            krb5_free_context(m_context);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    krb5_error_code Status() const { return m_status; }
    krb5_context Get() const { return m_context; }

    std::string Message(krb5_error_code code) const
    {
        const char* text = krb5_get_error_message(m_context, code);
        std::string message = text ? text : "unknown Kerberos error";
        krb5_free_error_message(m_context, text);
        return message;
    }

private:
    krb5_context m_context = nullptr;
    krb5_error_code m_status;
};

// Frees a Kerberos object with the context it came from.
template <class T, void (*Free)(krb5_context, T)>
class Owned {
public:
    explicit Owned(const Context& context) : m_context(context.Get()) {}
    ~Owned()
    {
        if (m_value)
            Free(m_context, m_value);
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    T* Out() { return &m_value; }
    T Get() const { return m_value; }

private:
    krb5_context m_context;
    T m_value = nullptr;
};

inline void CloseCache(krb5_context context, krb5_ccache cache)
{
    krb5_cc_close(context, cache);
}

inline void FreeCredentials(krb5_context context, krb5_creds* credentials)
{
    krb5_free_creds(context, credentials);
}

using Cache = Owned<krb5_ccache, CloseCache>;
using Principal = Owned<krb5_principal, krb5_free_principal>;
using Credentials = Owned<krb5_creds*, FreeCredentials>;

// Frees the contents of a krb5_creds that lives on the stack.
class CredentialContents {
public:
    explicit CredentialContents(const Context& context) : m_context(context.Get()) {}
    ~CredentialContents() { krb5_free_cred_contents(m_context, &m_value); }
    CredentialContents(const CredentialContents&) = delete;
    CredentialContents& operator=(const CredentialContents&) = delete;
    krb5_creds* Get() { return &m_value; }

private:
    krb5_context m_context;
    krb5_creds m_value{};
};

}  // namespace tallyrun::odbc::krb5
