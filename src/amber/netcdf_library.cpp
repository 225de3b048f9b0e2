// The NetCDF library (with HDF5 and the network and crypto libraries it brings) is loaded when a
// trajectory job first calls it, not when the program starts: linking it at start-up cost every
// run, the many that never read a trajectory included, some twenty million instructions of
// relocations and close to a thousand page faults before main(). Each function the program
// calls is defined here under the library's own name and forwards to the library's. The
// library's own calls to its functions stay inside it: the program exports none of these names.
#include <netcdf.h>

#include "platform/loaded_library.h"

namespace {

const qm::loaded_library& library() {
    static const qm::loaded_library loaded(QM_NETCDF_LIBRARY, "the NetCDF library");
    return loaded; // once, whichever thread comes first
}

} // namespace

// A missing library (or function) is NC_ENOTBUILT, which nc_strerror below explains.
#define QM_NETCDF_FORWARD(name, parameters, arguments)                                             \
    extern "C" int name parameters {                                                               \
        static const auto call = library().symbol(&name, #name);                                   \
        return call == nullptr ? NC_ENOTBUILT : call arguments;                                    \
    }

QM_NETCDF_FORWARD(nc_open, (const char* path, int mode, int* ncidp), (path, mode, ncidp))
QM_NETCDF_FORWARD(nc__open, (const char* path, int mode, size_t* chunk, int* ncidp),
                  (path, mode, chunk, ncidp))
QM_NETCDF_FORWARD(nc_create, (const char* path, int mode, int* ncidp), (path, mode, ncidp))
QM_NETCDF_FORWARD(nc__create,
                  (const char* path, int mode, size_t initial, size_t* chunk, int* ncidp),
                  (path, mode, initial, chunk, ncidp))
QM_NETCDF_FORWARD(nc_close, (int ncid), (ncid))
QM_NETCDF_FORWARD(nc_abort, (int ncid), (ncid))
QM_NETCDF_FORWARD(nc_enddef, (int ncid), (ncid))
QM_NETCDF_FORWARD(nc_set_fill, (int ncid, int mode, int* old), (ncid, mode, old))
QM_NETCDF_FORWARD(nc_inq_format, (int ncid, int* format), (ncid, format))
QM_NETCDF_FORWARD(nc_def_dim, (int ncid, const char* name, size_t len, int* id),
                  (ncid, name, len, id))
QM_NETCDF_FORWARD(nc_def_var,
                  (int ncid, const char* name, nc_type type, int ndims, const int* dims, int* id),
                  (ncid, name, type, ndims, dims, id))
QM_NETCDF_FORWARD(nc_inq_dimid, (int ncid, const char* name, int* id), (ncid, name, id))
QM_NETCDF_FORWARD(nc_inq_dimlen, (int ncid, int dim, size_t* len), (ncid, dim, len))
QM_NETCDF_FORWARD(nc_inq_dimname, (int ncid, int dim, char* name), (ncid, dim, name))
QM_NETCDF_FORWARD(nc_inq_varid, (int ncid, const char* name, int* id), (ncid, name, id))
QM_NETCDF_FORWARD(nc_inq_varndims, (int ncid, int var, int* ndims), (ncid, var, ndims))
QM_NETCDF_FORWARD(nc_inq_vardimid, (int ncid, int var, int* dims), (ncid, var, dims))
QM_NETCDF_FORWARD(nc_inq_att, (int ncid, int var, const char* name, nc_type* type, size_t* len),
                  (ncid, var, name, type, len))
QM_NETCDF_FORWARD(nc_inq_attlen, (int ncid, int var, const char* name, size_t* len),
                  (ncid, var, name, len))
QM_NETCDF_FORWARD(nc_get_att_text, (int ncid, int var, const char* name, char* text),
                  (ncid, var, name, text))
QM_NETCDF_FORWARD(nc_get_att_double, (int ncid, int var, const char* name, double* value),
                  (ncid, var, name, value))
QM_NETCDF_FORWARD(nc_put_att_text,
                  (int ncid, int var, const char* name, size_t len, const char* text),
                  (ncid, var, name, len, text))
QM_NETCDF_FORWARD(nc_put_var_text, (int ncid, int var, const char* text), (ncid, var, text))
QM_NETCDF_FORWARD(nc_get_var1_float, (int ncid, int var, const size_t* index, float* value),
                  (ncid, var, index, value))
QM_NETCDF_FORWARD(nc_put_var1_float, (int ncid, int var, const size_t* index, const float* value),
                  (ncid, var, index, value))
QM_NETCDF_FORWARD(nc_get_vara_float,
                  (int ncid, int var, const size_t* start, const size_t* count, float* values),
                  (ncid, var, start, count, values))
QM_NETCDF_FORWARD(nc_get_vara_double,
                  (int ncid, int var, const size_t* start, const size_t* count, double* values),
                  (ncid, var, start, count, values))
QM_NETCDF_FORWARD(nc_put_vara_float,
                  (int ncid, int var, const size_t* start, const size_t* count,
                   const float* values),
                  (ncid, var, start, count, values))
QM_NETCDF_FORWARD(nc_put_vara_double,
                  (int ncid, int var, const size_t* start, const size_t* count,
                   const double* values),
                  (ncid, var, start, count, values))

extern "C" const char* nc_strerror(int status) {
    static const auto call = library().symbol(&nc_strerror, "nc_strerror");
    return call == nullptr ? library().failure().c_str() : call(status);
}
