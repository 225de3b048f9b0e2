// Amber NetCDF trajectories (the AMBER convention, version 1.0), read and written one frame at a
// time through the NetCDF library:
//
//   global attributes  Conventions "AMBER", ConventionVersion "1.0", program, programVersion,
//                      title, application
//   dimensions         frame (unlimited), spatial 3, atom N; with a box also cell_spatial 3,
//                      cell_angular 3, label 5
//   variables          spatial(spatial) "xyz"; time(frame) float, picosecond, when known;
//                      coordinates(frame, atom, spatial) float, angstrom;
//                      cell_lengths(frame, cell_spatial) double, angstrom;
//                      cell_angles(frame, cell_angular) double, degree
//
// A file is recognised by its first bytes, whatever its name: "CDF" 1 (classic), "CDF" 2
// (64-bit offsets), "CDF" 5 (64-bit data) or the HDF5 signature of NetCDF-4.
#pragma once

#include "amber/amber_mask.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qm {

bool is_netcdf_file(const std::filesystem::path& path);

// One frame: the coordinates of the atoms read or written, 3 per atom, and the frame's time and
// box when the trajectory has them.
struct netcdf_frame {
    std::vector<float> coordinates;
    float time = 0;                  // picoseconds
    std::array<double, 3> lengths{}; // box lengths a, b, c in angstrom
    std::array<double, 3> angles{};  // alpha, beta, gamma in degrees
};

// Opens an Amber NetCDF trajectory and checks it holds one: a NetCDF file of another kind (no
// AMBER convention, a restart file, coordinates of another shape) is a run error saying so,
// naming the file; so is any failure of the library while reading.
class netcdf_trajectory_reader {
public:
    explicit netcdf_trajectory_reader(const std::filesystem::path& path);
    ~netcdf_trajectory_reader();
    netcdf_trajectory_reader(const netcdf_trajectory_reader&) = delete;
    netcdf_trajectory_reader& operator=(const netcdf_trajectory_reader&) = delete;

    std::uint64_t atoms() const { return atoms_; }
    std::uint64_t frames() const { return frames_; }
    bool has_time() const { return time_ >= 0; }
    bool has_box() const { return lengths_ >= 0; }
    const std::string& title() const { return title_; }

    // Frame `frame` (from 0): the coordinates of the atoms of `runs` in their order, read in one
    // piece from the first kept atom to the last, and the time and box when there are any.
    void read(std::uint64_t frame, const std::vector<atom_run>& runs, netcdf_frame& into);

private:
    std::filesystem::path path_;
    int id_ = -1;
    int coordinates_ = -1, time_ = -1, lengths_ = -1, angles_ = -1;
    std::uint64_t atoms_ = 0, frames_ = 0;
    std::string title_;
    std::vector<float> span_;
};

struct netcdf_trajectory_shape {
    std::uint64_t atoms = 0;
    bool time = false; // a time variable
    bool box = false;  // cell_lengths and cell_angles
    std::string title;
};

// Writes a new trajectory to a file of a new name beside `output`; commit() renames it over
// `output`. Until then the output is untouched, and a writer destroyed without commit() removes
// its file again. Failures are run errors naming the output ("Disk full" when the disk is).
class netcdf_trajectory_writer {
public:
    netcdf_trajectory_writer(const std::filesystem::path& output,
                             const netcdf_trajectory_shape& shape);
    ~netcdf_trajectory_writer();
    netcdf_trajectory_writer(const netcdf_trajectory_writer&) = delete;
    netcdf_trajectory_writer& operator=(const netcdf_trajectory_writer&) = delete;

    // Appends a frame: `frame.coordinates` holds 3 values for each of the shape's atoms.
    void write(const netcdf_frame& frame);
    // Closes the file (checked) and renames it over the output.
    void commit();

private:
    std::filesystem::path output_;
    std::filesystem::path temporary_;
    netcdf_trajectory_shape shape_;
    int id_ = -1;
    int time_ = -1, coordinates_ = -1, lengths_ = -1, angles_ = -1;
    std::uint64_t frames_ = 0;
};

} // namespace qm
