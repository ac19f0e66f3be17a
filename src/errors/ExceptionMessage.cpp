#include "errors/ExceptionMessage.h"

#include "util/Exception.h"

#include <exception>
#include <new>

std::string CurrentExceptionMessage() noexcept {
    try {
        throw;
    } catch (const Exception& error) {
        return error.Message();
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return {};
    }
}
